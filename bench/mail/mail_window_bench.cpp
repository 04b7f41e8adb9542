// Sending 20 photos of 5 MB as one message: through the send-mail window (TSmtpPlus on the Qt event
// loop) against the SMTP library driven alone, alternating in the same run, to the same server; and
// how long the event loop was ever held up while the window sent.
//   mail_window_bench PORT [FILES [MB] [ROUNDS]]   (bench/mail/run.sh starts smtp-sink)
#include "core/mail/MailOptions.h"
#include "mail/OrvSendMail.h"
#include "platform/Prompter.h"
#include "postrel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include "mail/OrvSendMailGuages.h"
#include <cstdio>
#include <ctime>

namespace {

bool g_helo, g_done, g_failed;

void OnSmtp(SmtpHandle, intptr_t, int32_t status, int32_t command, int32_t, const char *, int32_t)
{
    if (status == 4 && command == 2) g_helo = true;
    else if (status == 1 && command == 0) g_done = true;
    else if (status == 3 || status == 0) g_failed = !g_done;
}
void OnException(SmtpHandle, intptr_t, int32_t code, const char *text)
{
    if (code != 13) std::fprintf(stderr, "error %d: %s\n", code, text);
    if (!g_done) g_failed = true;
}

// The library alone, pumped in a loop: connect to the accepted final dot.
double SendAlone(quint16 port, const QByteArray &attachments, const QByteArray &encodings)
{
    g_helo = g_done = g_failed = false;
    QElapsedTimer t;
    t.start();
    const SmtpHandle h = ConnectSmtp1(0, 0, "127.0.0.1", port, "", 0, nullptr, OnSmtp, nullptr, nullptr, OnException);
    while (h && !g_helo && !g_failed) PumpSmtp(1000);
    const char body[] = "Photos";
    MailSmtp(h, 0, "bench@example.org", "sink@example.org", 1, 1, "Bench", 1, body, sizeof body - 1,
             attachments.constData(), encodings.constData());
    while (!g_done && !g_failed) PumpSmtp(1000);
    const double s = t.nsecsElapsed() / 1e9;
    CloseSmtp(h, 1);
    PumpSmtp(10);
    return g_failed ? -1 : s;
}

class QuietPrompter : public pagero::Prompter {
public:
    pagero::PromptAnswer Ask(pagero::PromptKind, const QString &text, const QString &) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return pagero::PromptAnswer::Ok;
    }
};

qint64 ThreadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PORT [FILES [MB] [ROUNDS]]\n", argv[0]);
        return 2;
    }
    const quint16 port = quint16(atoi(argv[1]));
    const int files = argc > 2 ? atoi(argv[2]) : 20;
    const int mb = argc > 3 ? atoi(argv[3]) : 5;
    const int rounds = argc > 4 ? atoi(argv[4]) : 3;
    QuietPrompter prompter;
    pagero::InstallPrompter(&prompter);

    // Short relative paths, so that 20 of them fit one message.
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    QDir().mkpath("p");
    QStringList paths;
    QByteArray attachments, encodings;
    for (int i = 0; i < files; ++i) {
        QByteArray bytes(mb * 1024 * 1024, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        const QString path = QString("p/%1.jpg").arg(i, 2, 10, QChar('0'));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
        paths << path;
        attachments += path.toLatin1() + (i + 1 < files ? "," : "");
        encodings += QByteArray("M") + (i + 1 < files ? "," : "");
    }
    pagero::mail::MailOptions options;
    options.server = "127.0.0.1";
    options.port = port;
    options.name = "Bench";
    options.address = "bench@example.org";
    options.limitSize = false;
    pagero::mail::SaveMailOptions(pagero::mail::MailOptionsPath(work.path()), options);
    pagero::TSendMail_Fm window(work.path());

    for (int round = 0; round < rounds; ++round) {
        const double alone = SendAlone(port, attachments, encodings);
        window.StartWith(paths);
        window.tbDestAddr->setText("sink@example.org");
        QElapsedTimer t;
        double viaWindow = -1;
        QObject::connect(window.progress->Gauge1, &QProgressBar::valueChanged, &window, [&](int v) {
            if (v == 100 && viaWindow < 0) viaWindow = t.nsecsElapsed() / 1e9;
        });
        // A 16 ms timer stands for the flip animation: the longest gap between its ticks while
        // sending shows whether the window's work ever holds up the event loop.
        // The GUI thread's CPU time within that gap tells work that held the loop from the machine
        // giving the thread no core (a loaded machine).
        QTimer frame;
        QElapsedTimer sinceTick;
        qint64 longestGapNs = 0, longestGapCpuNs = 0, cpuAtTick = 0;
        int ticks = 0;
        QObject::connect(&frame, &QTimer::timeout, [&] {
            const qint64 cpu = ThreadCpuNs();
            if (ticks++ > 0 && sinceTick.nsecsElapsed() > longestGapNs) {
                longestGapNs = sinceTick.nsecsElapsed();
                longestGapCpuNs = cpu - cpuAtTick;
            }
            cpuAtTick = cpu;
            sinceTick.start();
        });
        frame.setTimerType(Qt::PreciseTimer);
        frame.start(16);
        t.start();
        QTest::mouseClick(window.btnSendMail, Qt::LeftButton);
        while (window.Sending()) QTest::qWait(5);
        frame.stop();
        QObject::disconnect(window.progress->Gauge1, nullptr, &window, nullptr);
        const double total = double(files) * mb;
        std::printf("round %d: library alone %.3f s (%.0f MB/s), through the window %.3f s (%.0f MB/s), ratio %.2f\n",
                    round + 1, alone, total / alone, viaWindow, total / viaWindow, viaWindow / alone);
        std::printf("         16 ms timer during the send: %d ticks, longest gap %.1f ms (GUI thread busy %.1f ms of it)\n",
                    ticks, longestGapNs / 1e6, longestGapCpuNs / 1e6);
    }
    return 0;
}
