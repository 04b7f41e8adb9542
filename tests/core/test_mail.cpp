// The mail options and address book files, byte for byte, and the send-mail window's text rules.
#include "core/common/AtomicFile.h"
#include "core/mail/AddressBook.h"
#include "core/mail/MailCompose.h"
#include "core/mail/MailOptions.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

using namespace pagero::mail;

namespace {
// A 324-byte record built by the table of offsets.
QByteArray TableRecord()
{
    QByteArray b(324, '\0');
    std::memcpy(b.data() + 0, "smtp.example.org", 16);
    qToLittleEndian<qint32>(2525, b.data() + 104);
    std::memcpy(b.data() + 108, "Ann Lee", 7);
    std::memcpy(b.data() + 209, "ann@example.org", 15);
    qToLittleEndian<qint32>(1, b.data() + 312);
    b[316] = 0;
    qToLittleEndian<qint32>(3, b.data() + 320);
    return b;
}
} // namespace

TEST(MailOptions, ReadsTheTableLayoutAndWritesItBack)
{
    const MailOptions o = MailOptions::FromBytes(TableRecord());
    EXPECT_EQ(o.server, "smtp.example.org");
    EXPECT_EQ(o.port, 2525);
    EXPECT_EQ(o.name, "Ann Lee");
    EXPECT_EQ(o.address, "ann@example.org");
    EXPECT_EQ(o.format, MessageFormat::Uuencode);
    EXPECT_FALSE(o.limitSize);
    EXPECT_EQ(o.sizeChoice, 3);
    EXPECT_EQ(o.security, MailSecurity::None);   // an old 324-byte file
    EXPECT_EQ(o.SizeLimitBytes(), 4 * 1000 * 1024);

    // What the program writes starts with exactly the old record; the additions follow it.
    MailOptions s = o;
    s.security = MailSecurity::StartTls;
    s.userName = "ann";
    s.rememberPassword = true;
    const QByteArray written = s.ToBytes();
    ASSERT_EQ(written.size(), MailOptions::kExtendedSize);
    EXPECT_EQ(written.left(324), TableRecord());
    EXPECT_EQ(qFromLittleEndian<qint32>(written.constData() + 324), 1);
    EXPECT_EQ(QByteArray(written.constData() + 328), "ann");
    EXPECT_EQ(written.at(429), 1);
    const MailOptions back = MailOptions::FromBytes(written);
    EXPECT_EQ(back.security, MailSecurity::StartTls);
    EXPECT_EQ(back.userName, "ann");
    EXPECT_TRUE(back.rememberPassword);
}

TEST(MailOptions, DefaultsShortFilesAndOutOfRangeValues)
{
    QTemporaryDir dir;
    const MailOptions none = LoadMailOptions(MailOptionsPath(dir.path()));
    EXPECT_TRUE(none.server.isEmpty());
    EXPECT_EQ(none.port, 25);
    EXPECT_EQ(none.format, MessageFormat::Mime);
    EXPECT_TRUE(none.limitSize);
    EXPECT_EQ(none.sizeChoice, 0);
    // A fresh record: defaults and zero bytes in every unused place.
    QByteArray fresh(324, '\0');
    qToLittleEndian<qint32>(25, fresh.data() + 104);
    fresh[316] = 1;
    EXPECT_EQ(MailOptions().ToBytes().left(324), fresh);

    // A short file fills only the bytes it has (here the server and the port).
    const MailOptions shortOne = MailOptions::FromBytes(TableRecord().left(108));
    EXPECT_EQ(shortOne.server, "smtp.example.org");
    EXPECT_EQ(shortOne.port, 2525);
    EXPECT_TRUE(shortOne.name.isEmpty());
    EXPECT_TRUE(shortOne.limitSize);

    // A text field without its zero byte stops at 100 characters; values the program never writes
    // fall back to their defaults.
    QByteArray bad = TableRecord();
    std::memset(bad.data(), 'x', 101);
    qToLittleEndian<qint32>(70000, bad.data() + 104);
    qToLittleEndian<qint32>(9, bad.data() + 312);
    qToLittleEndian<qint32>(-1, bad.data() + 320);
    const MailOptions b = MailOptions::FromBytes(bad);
    EXPECT_EQ(b.server, QString(100, 'x'));
    EXPECT_EQ(b.port, 25);
    EXPECT_EQ(b.format, MessageFormat::Mime);
    EXPECT_EQ(b.sizeChoice, 0);

    // Saved and loaded through the file.
    ASSERT_TRUE(SaveMailOptions(MailOptionsPath(dir.path()), MailOptions::FromBytes(TableRecord())));
    EXPECT_EQ(LoadMailOptions(MailOptionsPath(dir.path())).address, "ann@example.org");
}

TEST(AddressBook, FileLinesAndContactRoundTrips)
{
    QTemporaryDir dir;
    const QString path = AddressBookPath(dir.path());
    EXPECT_TRUE(LoadAddressBook(path).isEmpty());
    pagero::WriteFileAtomically(path, "Ann Lee <ann@example.org>\r\nBob\r\n <c@d.org>\r\n");
    const QStringList lines = LoadAddressBook(path);
    ASSERT_EQ(lines, QStringList({"Ann Lee <ann@example.org>", "Bob", " <c@d.org>"}));
    ASSERT_TRUE(SaveAddressBook(path, lines));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "Ann Lee <ann@example.org>\r\nBob\r\n <c@d.org>\r\n");

    EXPECT_EQ(ContactDisplayText("Bob", ""), "Bob");
    EXPECT_EQ(ContactDisplayText("", "c@d.org"), " <c@d.org>");
    QString name, address;
    SplitContact("Ann Lee <ann@example.org>", name, address);
    EXPECT_EQ(name, "Ann Lee");
    EXPECT_EQ(address, "ann@example.org");
    SplitContact("Bob Smith", name, address);
    EXPECT_EQ(name, "Bob Smith");
    EXPECT_TRUE(address.isEmpty());
    SplitContact(" <c@d.org>", name, address);
    EXPECT_TRUE(name.isEmpty());
    EXPECT_EQ(address, "c@d.org");
}

TEST(MailCompose, Recipients)
{
    EXPECT_EQ(ParseRecipients("Ann Lee <ann@example.org>", ""), "ann@example.org");
    EXPECT_EQ(ParseRecipients("a@x.org, b@y.org c@z.org", "Dee <d@w.org>"), "a@x.org,b@y.org,c@z.org,d@w.org");
    EXPECT_EQ(ParseRecipients("a@x.org", "e@v.de"), "a@x.org,e@v.de");   // the last address keeps its end
    EXPECT_EQ(ParseRecipients("nobody", ""), "");
}

TEST(MailCompose, BodyBlockAndSubjects)
{
    const QByteArray first = BuildBody("Me <me@x.org>", "a@x.org", "b@y", "Trip 1/2", {"Hello", QString(300, 'z')}, true);
    EXPECT_TRUE(first.startsWith("From: Me <me@x.org>\r\nTo: a@x.org\r\nSubject: Trip 1/2\r\n\r\nHello\r\n" +
                                 QByteArray(255, 'z') + "\r\n\r\n_____"));   // "b@y" is too short for a CC line
    EXPECT_TRUE(first.endsWith("Download a copy at https://www.pagero.example <<<<<\r\n\r\n"));
    const QByteArray second = BuildBody("Me", "a@x.org", "bob@y.org", "S", {"Hello"}, false);
    EXPECT_TRUE(second.contains("CC: bob@y.org\r\n"));
    EXPECT_FALSE(second.contains("Hello"));
    EXPECT_EQ(GroupSubject("Trip", 0, 2), "Trip 1/2");
    EXPECT_EQ(GroupSubject("Trip", 1, 1), "Trip");
    EXPECT_EQ(GroupSubject("", 0, 1), " ");
}

TEST(MailCompose, GroupsByJoinedLengthAndAttachmentCount)
{
    // 10 paths of 29 characters (30 with the comma): eight fit in 250, the ninth starts a new group;
    // the unchecked third entry takes no room.
    QStringList paths;
    QList<bool> checked;
    for (int i = 0; i < 10; ++i) {
        paths << QString("/photos/holidy/picture-%1.jpg").arg(i, 2, 10, QChar('0'));
        checked << (i != 2);
    }
    ASSERT_EQ(paths[0].size(), 29);
    EXPECT_EQ(GroupAttachments(paths, checked), QList<int>({9, 10}));
    EXPECT_EQ(GroupAttachments(paths, QList<bool>(10, false)), QList<int>({10}));
    // Short paths: the library takes at most 20 files per message.
    QStringList many;
    for (int i = 0; i < 25; ++i) many << QString("/a/%1").arg(i);
    EXPECT_EQ(GroupAttachments(many, QList<bool>(25, true)), QList<int>({20, 25}));
}

TEST(MailCompose, SizeLineAndSendingTime)
{
    EXPECT_EQ(SizeLine(0, 0), "No attached files.");
    EXPECT_EQ(SizeLine(2, 2048), "2 image files. The total size is: 2.0KB      sending time: <1 (min) at 28Kbps (Reference)");
    EXPECT_EQ(SizeLine(1, 1024 * 1024 * 3), "1 image files. The total size is: 3,072KB      sending time: 23 (min) at 28Kbps (Reference)");
    EXPECT_EQ(SendingTimeText(1024 * 1024 * 10), "78 (min)");   // an hour and more is not wrapped to minutes
    EXPECT_EQ(SendingTimeText(1024 * 100, 14), "2 (min)");
}

TEST(MailCompose, CommaFreeCopyNames)
{
    QTemporaryDir dir;
    EXPECT_EQ(CommaFreeCopyPath(dir.path(), "a,b.jpg"), dir.path() + "/a b.jpg");
    pagero::WriteFileAtomically(dir.path() + "/a b.jpg", "x");
    pagero::WriteFileAtomically(dir.path() + "/a b_1.jpg", "x");
    EXPECT_EQ(CommaFreeCopyPath(dir.path(), "a,b.jpg"), dir.path() + "/a b_2.jpg");
}
