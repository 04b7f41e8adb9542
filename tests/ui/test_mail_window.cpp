// The send-mail window end to end: filled as a user would, sent through aiosmtpd (plain, and with
// STARTTLS and a login), and what arrived read back with Python's email parser; refusing, stalling
// and missing servers; the options and address-book dialogs.
#include "Harness.h"
#include "support/ScriptedPrompter.h"
#include "core/mail/AddressBook.h"
#include "core/mail/MailOptions.h"
#include "mail/MailController.h"
#include "mail/MailPassword.h"
#include "mail/OrvAddEMAddr_Dlg.h"
#include "mail/OrvEAddressBook_Dlg.h"
#include "mail/OrvMailOptionDlg.h"
#include "mail/OrvSendMail.h"
#include "mail/OrvSendMailGuages.h"
#include "platform/media/Sound.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

// Readable failure messages.
inline void PrintTo(const QString &s, std::ostream *os) { *os << s.toStdString(); }

using namespace pagero;
using namespace pagero::mail;

namespace {

std::multimap<QString, QString> Received(const QString &dir, int n)
{
    std::multimap<QString, QString> facts;
    QFile f(dir + QString("/%1.txt").arg(n));
    if (!f.open(QIODevice::ReadOnly)) return facts;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const int tab = int(line.indexOf('\t'));
        if (tab > 0) facts.emplace(QString::fromUtf8(line.left(tab)), QString::fromUtf8(line.mid(tab + 1)));
    }
    return facts;
}

QStringList Values(const std::multimap<QString, QString> &facts, const QString &key)
{
    QStringList out;
    auto [a, b] = facts.equal_range(key);
    for (auto it = a; it != b; ++it) out << it->second;
    return out;
}

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class MailWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = program.path();
        album = albumDir.path() + "/album";
        QDir().mkpath(album);
        options.server = "127.0.0.1";
        options.name = "Ann Lee";
        options.address = "ann@example.org";
        options.limitSize = false;
    }
    // A picture file of `size` random bytes (the exact bytes must arrive).
    QString MakeFile(const QString &name, int size)
    {
        QByteArray bytes(size, '\0');
        for (char &c : bytes) c = char(QRandomGenerator::global()->generate());
        const QString path = album + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    std::unique_ptr<TSendMail_Fm> Window(int port)
    {
        options.port = port;
        EXPECT_TRUE(SaveMailOptions(MailOptionsPath(folder), options));
        auto w = std::make_unique<TSendMail_Fm>(folder);
        w->stallTimeoutMs = 1500;
        return w;
    }
    void Fill(TSendMail_Fm &w, const QStringList &files, const QString &to, const QString &cc, const QString &subject)
    {
        w.StartWith(files);
        QTest::keyClicks(w.tbDestAddr, to);
        QTest::keyClicks(w.tbCCAddr, cc);
        QTest::keyClicks(w.tbSubject, subject);
        QTest::keyClicks(w.memoMsg, "Hello there");
    }
    bool WaitFinished(TSendMail_Fm &w, int ms = 30000)
    {
        QDeadlineTimer deadline(ms);
        while (w.Sending() && !deadline.hasExpired()) QTest::qWait(20);
        return !w.Sending();
    }

    QTemporaryDir program, albumDir;
    QString folder, album;
    MailOptions options;
    test::ScriptedPrompter prompter;
};

TEST_F(MailWindow, TwoMessagesWithBase64ArriveWhole)
{
    const QString out = QDir(albumDir.path()).filePath("received");
    QDir().mkpath(out);
    postrel_test::RealServer server(out.toStdString());
    ASSERT_TRUE(server.Ok());
    QStringList files;
    // Four paths of 60 characters fit the 250 of one message (with their commas); the fifth does not.
    ASSERT_LT(album.size(), 45);
    for (int i = 0; i < 4; ++i)
        files << MakeFile(QString("%1.jpg").arg(i, 60 - 5 - int(album.size()), 10, QChar('0')), 3000 + i * 7777);
    ASSERT_EQ(files[0].size(), 60);
    files << MakeFile("beach,sunset.jpg", 20000);
    QDir().mkpath(folder + "/SysSound");
    QFile::copy(QString(PAGERO_TEST_PROGRAM_DIR) + "/SysSound/sent email.wav", folder + "/SysSound/sent email.wav");
    const int soundsBefore = media::SoundsStarted();
    auto w = Window(server.Port());
    Fill(*w, files, "Bob Smith <bob@example.net>, carl@example.net", "dee@example.net", "Trip");
    EXPECT_TRUE(w->Edit5->text().startsWith("5 image files. The total size is: "));
    QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
    EXPECT_TRUE(w->Sending());
    ASSERT_TRUE(WaitFinished(*w));
    ASSERT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join("|").toStdString();
    ASSERT_TRUE(QFile::exists(out + "/1.txt"));

    const auto first = Received(out, 0), second = Received(out, 1);
    EXPECT_EQ(Values(first, "rcpt"), QStringList({"bob@example.net", "carl@example.net", "dee@example.net"}));
    EXPECT_TRUE(Values(first, "header").contains("Subject: Trip 1/2"));
    EXPECT_TRUE(Values(second, "header").contains("Subject: Trip 2/2"));
    // Every part file: the text part, then the attachments in order.
    const QStringList parts1 = Values(first, "part"), parts2 = Values(second, "part");
    ASSERT_EQ(parts1.size() + parts2.size(), 7);
    const QByteArray text1 = ReadAll(out + "/0-0.bin"), text2 = ReadAll(out + "/1-0.bin");
    EXPECT_TRUE(text1.contains("To: Bob Smith <bob@example.net>, carl@example.net\r\nCC: dee@example.net\r\n"));
    EXPECT_TRUE(text1.contains("Hello there"));
    EXPECT_FALSE(text2.contains("Hello there"));
    EXPECT_TRUE(text2.contains("Sent using the Award-Winning Pagero :-"));
    int file = 0;
    for (int msg = 0; msg < 2; ++msg) {
        const QStringList parts = msg == 0 ? parts1 : parts2;
        for (int p = 1; p < parts.size(); ++p, ++file) {
            const QStringList fields = parts[p].split('|');
            EXPECT_EQ(fields[2].toLower(), "base64");
            EXPECT_EQ(ReadAll(out + QString("/%1-%2.bin").arg(msg).arg(p)), ReadAll(files[file])) << file;
        }
    }
    EXPECT_TRUE(parts2.last().contains("beach sunset.jpg"));
    EXPECT_FALSE(QFile::exists(folder + "/beach sunset.jpg"));   // the copy is gone
    EXPECT_TRUE(w->tmpFiles.isEmpty());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(media::SoundsStarted() - soundsBefore, 2);   // the sent sound, once per message
}

TEST_F(MailWindow, UuencodeOverStartTlsWithLoginAsksThePasswordOncePerRun)
{
    const QString out = QDir(albumDir.path()).filePath("received");
    QDir().mkpath(out);
    const std::string certs = postrel_test::MakeTempDir();
    ASSERT_TRUE(postrel_test::MakeCertificates(certs));
    postrel_test::RealServer server(out.toStdString(), {"--cert", certs + "/server.pem", "--key", certs + "/server.key",
                                                        "--starttls", "--auth", "ann:s3cret-pw"});
    ASSERT_TRUE(server.Ok());
    int asked = 0;
    SetPasswordAsker([&](QWidget *, const QString &, QString &password) {
        ++asked;
        password = "s3cret-pw";
        return true;
    });
    options.format = MessageFormat::Uuencode;
    options.security = MailSecurity::StartTls;
    options.userName = "ann";
    options.rememberPassword = true;   // no keyring here: the program asks and goes on
    const QString photo = MakeFile("one.jpg", 12345);
    auto w = Window(server.Port());
    w->caFile = QString::fromStdString(certs + "/ca.pem");
    for (int round = 0; round < 2; ++round) {
        Fill(*w, {photo}, "bob@example.net", "", "");
        QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
        ASSERT_TRUE(WaitFinished(*w));
        ASSERT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join("|").toStdString();
    }
    SetPasswordAsker({});
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(QFile::exists(out + "/1.txt"));
    const QStringList parts = Values(Received(out, 0), "part");
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(ReadAll(out + "/0-1.bin"), ReadAll(photo));
    EXPECT_TRUE(Values(Received(out, 0), "header").contains("Subject:  ") ||
                !Values(Received(out, 0), "header").filter("Subject").isEmpty());
    EXPECT_FALSE(ReadAll(MailOptionsPath(folder)).contains("s3cret-pw"));
}

TEST_F(MailWindow, RefusingStallingAndMissingServersEndWithAUsableWindow)
{
    const QString photo = MakeFile("one.jpg", 1000);
    {   // 5xx for the sender: the error box, and the window comes back with what was typed.
        postrel_test::ScriptedServer refusing([](postrel_test::ScriptedServer::Connection &c) {
            c.Send("220 hello\r\n");
            c.Line();
            c.Send("250 ok\r\n");
            c.Line();
            c.Send("550 not you\r\n");
            for (std::string line = c.Line(); !line.empty(); line = c.Line()) {
                if (line.rfind("QUIT", 0) == 0) {
                    c.Send("221 bye\r\n");
                    break;
                }
                c.Send("250 ok\r\n");
            }
            c.WaitClosed();
        });
        auto w = Window(refusing.Port());
        Fill(*w, {photo}, "bob@example.net", "", "S");
        QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
        ASSERT_TRUE(WaitFinished(*w));
        EXPECT_EQ(prompter.texts, QStringList({"Send E-Mail ERROR! "}));
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(w->btnSendMail->isEnabled());
        EXPECT_EQ(w->tbSubject->text(), "S");
        refusing.Join();
    }
    const QString cannot = "Send E-Mail ERROR: Cannot send!\n\r\n\rPlease check your mail server setting under "
                           "E-Mail options\n\ror your Internet connections.";
    {   // A server that never greets: given up after the stall time; the close question meanwhile.
        postrel_test::ScriptedServer stalling([](postrel_test::ScriptedServer::Connection &c) { c.WaitClosed(8000); });
        MailController controller(folder);
        options.port = stalling.Port();
        ASSERT_TRUE(SaveMailOptions(MailOptionsPath(folder), options));
        TSendMail_Fm *w = controller.Window();
        w->stallTimeoutMs = 1500;
        controller.SendFiles({photo}, nullptr);
        QTest::keyClicks(w->tbDestAddr, "bob@example.net");
        prompter.texts.clear();
        QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
        EXPECT_TRUE(controller.Sending());
        prompter.answers = {PromptAnswer::No};
        EXPECT_FALSE(controller.MayClose());
        ASSERT_TRUE(WaitFinished(*w));
        EXPECT_EQ(prompter.texts.last(), cannot);
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(controller.MayClose());
        stalling.Join();
        // "Stop" ends a send at once, without a message.
        postrel_test::ScriptedServer silent([](postrel_test::ScriptedServer::Connection &c) { c.WaitClosed(8000); });
        w->Options().port = silent.Port();
        prompter.texts.clear();
        QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
        for (int i = 0; i < 100 && !w->progress->isVisible(); ++i) QTest::qWait(10);
        ASSERT_TRUE(w->progress->isVisible());
        QTest::mouseClick(w->progress->btnStop, Qt::LeftButton);
        ASSERT_TRUE(WaitFinished(*w, 1000));
        EXPECT_TRUE(prompter.texts.isEmpty());
        EXPECT_TRUE(w->isVisible());
        silent.Join();
    }
    {   // Nobody listening.
        auto w = Window(postrel_test::ClosedPort());
        Fill(*w, {photo}, "bob@example.net", "", "S");
        prompter.texts.clear();
        QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
        ASSERT_TRUE(WaitFinished(*w));
        EXPECT_EQ(prompter.texts, QStringList({cannot}));
        EXPECT_TRUE(w->isVisible() && w->btnSendMail->isEnabled());
    }
}

TEST_F(MailWindow, ChecksBeforeSending)
{
    const QString photo = MakeFile("one.jpg", 1024000);
    const QString big = MakeFile("two.jpg", 1);
    options.limitSize = true;
    auto w = Window(25);
    Fill(*w, {photo}, "", "", "");
    QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
    QTest::keyClicks(w->tbDestAddr, "nobody");
    QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
    w->tbDestAddr->setText("bob@example.net");
    w->StartWith({photo, big});   // 1,024,001 bytes: over the first size choice
    w->tbDestAddr->setText("bob@example.net");
    QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
    w->memoMsg->setPlainText(QStringList(40, QString(250, 'x')).join("\n"));   // lines are cut at 255
    w->CheckListBox1->item(1)->setCheckState(Qt::Unchecked);   // 1,024,000 bytes pass the limit
    QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
    w->memoMsg->clear();
    w->StartWith({MakeFile(QString(130, 'n'), 1)});   // a path the library cannot take
    w->tbDestAddr->setText("bob@example.net");
    QTest::mouseClick(w->btnSendMail, Qt::LeftButton);
    ASSERT_EQ(prompter.texts.size(), 5) << prompter.texts.join("|").toStdString();
    EXPECT_EQ(prompter.texts[0], "Please enter the recipient e-mail address.");
    EXPECT_EQ(prompter.texts[1], "The recipient e-mail address incorrect!");
    EXPECT_EQ(prompter.texts[2], "The E-Mail message has exceeded the size limit setting in the send options.");
    EXPECT_TRUE(prompter.texts[3].startsWith("The message is too long to be sent"));
    EXPECT_TRUE(prompter.texts[4].contains("its path is longer than 127 characters"));
    EXPECT_FALSE(w->Sending());
}

TEST_F(MailWindow, OptionsDialogRefusesWhatTheFileCannotHold)
{
    MailOptions o;
    TMailOption_Dlg dlg(o, folder);
    dlg.edServer->setText(QString(101, 's'));
    dlg.edName->setText("Ann");
    dlg.edAddress->setText("ann@example.org");
    dlg.edPort->setText("70000");
    dlg.accept();
    dlg.edPort->setText("2525");
    dlg.accept();
    dlg.edServer->setText("mail.example.org");
    dlg.edName->setText(QString::fromUtf8("\xe6\x9d\x8e"));   // a letter the one-byte file cannot hold
    dlg.accept();
    EXPECT_EQ(prompter.texts.size(), 3);
    EXPECT_FALSE(QFile::exists(MailOptionsPath(folder)));
    dlg.edName->setText("Ann");
    dlg.cbLimit->setChecked(false);
    EXPECT_FALSE(dlg.cbSize->isEnabled());
    dlg.cbSize->setCurrentIndex(2);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const MailOptions back = LoadMailOptions(MailOptionsPath(folder));
    EXPECT_EQ(back.server, "mail.example.org");
    EXPECT_EQ(back.port, 2525);
    EXPECT_FALSE(back.limitSize);
    EXPECT_EQ(back.sizeChoice, 2);   // kept while the box is off

    // A file that cannot be written is reported, and the record in memory still holds the input.
    MailOptions elsewhere;
    TMailOption_Dlg lost(elsewhere, folder + "/missing-folder");
    lost.edServer->setText("mail.example.org");
    prompter.texts.clear();
    lost.accept();
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].startsWith("The mail options could not be saved"));
    EXPECT_EQ(elsewhere.server, "mail.example.org");
}

TEST_F(MailWindow, AddressBookSavesOnCancelAndContactsRoundTrip)
{
    ASSERT_TRUE(SaveAddressBook(AddressBookPath(folder), {"Old Friend <old@example.org>"}));
    TEAddressBook_Dlg book(folder, false, nullptr);
    EXPECT_FALSE(book.btnOk->isVisibleTo(&book));
    EXPECT_EQ(book.btnCancel->text(), "&Ok");
    book.onContactShown = [](TAddEMAddr_Dlg &c) {
        QTest::keyClicks(c.edName, "Mary Ann Jones");
        QTest::keyClicks(c.edAddress, "mary@example.org");
        c.accept();
    };
    QTest::mouseClick(book.btnAdd, Qt::LeftButton);
    book.ListBox1->setCurrentRow(1);
    QString name, address;
    book.onContactShown = [&](TAddEMAddr_Dlg &c) {
        name = c.edName->text();
        address = c.edAddress->text();
        c.reject();
    };
    QTest::mouseClick(book.btnEdit, Qt::LeftButton);
    EXPECT_EQ(name, "Mary Ann Jones");
    EXPECT_EQ(address, "mary@example.org");
    book.ListBox1->setCurrentRow(0);
    QTest::mouseClick(book.btnRemove, Qt::LeftButton);
    book.reject();
    EXPECT_EQ(ReadAll(AddressBookPath(folder)), "Mary Ann Jones <mary@example.org>\r\n");
}

} // namespace
