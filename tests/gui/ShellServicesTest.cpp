// The shell services, without a person: URL handlers stand in for the browser and the
// file opener, and the folder dialog's answer is checked through its normalisation.

#include "qt/ShellServices.h"

#include <QDesktopServices>
#include <QTest>
#include <QUrl>

using namespace tarnwick;

class ShellServicesTest : public QObject
{
    Q_OBJECT

public slots:
    void record(const QUrl &url) { m_opened.append(url); }

private slots:
    void init()
    {
        m_opened.clear();
        for (const char *scheme : {"https", "http", "mailto", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "record");
    }
    void cleanup()
    {
        for (const char *scheme : {"https", "http", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    void emptyTargetOpensNothing()
    {
        ShellOpen(QString());
        QVERIFY(m_opened.isEmpty());
    }

    void webAddressesOpenAsAddresses()
    {
        ShellOpen(QStringLiteral("https://korvane.example/tarnwick"));
        ShellOpen(QStringLiteral("mailto:support@korvane.example"));
        QCOMPARE(m_opened, (QList<QUrl>{QUrl(QStringLiteral("https://korvane.example/tarnwick")),
                                        QUrl(QStringLiteral("mailto:support@korvane.example"))}));
    }

    void anythingElseOpensAsAFile()
    {
        ShellOpen(QStringLiteral("/tmp/out dir/GMAILContacts.csv"));
        ShellOpen(QStringLiteral("Help.html"));
        QCOMPARE(m_opened.size(), 2);
        QCOMPARE(m_opened[0], QUrl::fromLocalFile(QStringLiteral("/tmp/out dir/GMAILContacts.csv")));
        QVERIFY(m_opened[1].isLocalFile());
    }

    void webAddressOrPath_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("web");
        QTest::newRow("https") << "https://korvane.example/tarnwick" << true;
        QTest::newRow("mailto") << "mailto:a@b.example" << true;
        QTest::newRow("absolute path") << "/home/ann/GMAILContacts.csv" << false;
        QTest::newRow("drive path") << "C:\\Users\\Ann\\GMAILContacts.csv" << false;
        QTest::newRow("drive path, slashes") << "c:/out/GMAILContacts.csv" << false;
        QTest::newRow("relative path") << "out/GMAILContacts.csv" << false;
        QTest::newRow("colon later") << "notes/a:b.csv" << false;
    }
    void webAddressOrPath()
    {
        QFETCH(QString, target);
        QFETCH(bool, web);
        QCOMPARE(IsWebAddress(target), web);
    }

    void folderPaths_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("result");
        const QChar slash(u'/'), backslash(u'\\');
        QTest::newRow("cancelled") << "" << slash << "";
        QTest::newRow("root") << "/" << slash << "/";
        QTest::newRow("folder") << "/home/ann" << slash << "/home/ann";
        QTest::newRow("trailing separator") << "/home/ann/" << slash << "/home/ann";
        QTest::newRow("doubled separator") << "/home//ann" << slash << "/home/ann";
        QTest::newRow("backslash in a POSIX name") << "/tmp/a\\b" << slash << "/tmp/a\\b";
        QTest::newRow("drive root") << "C:/" << backslash << "C:\\";
        QTest::newRow("bare drive") << "D:" << backslash << "D:\\";
        QTest::newRow("drive root, native") << "C:\\" << backslash << "C:\\";
        QTest::newRow("drive folder") << "C:/Users/Ann/" << backslash << "C:\\Users\\Ann";
        QTest::newRow("drive folder, native") << "C:\\Users\\Ann" << backslash << "C:\\Users\\Ann";
    }
    void folderPaths()
    {
        QFETCH(QString, chosen);
        QFETCH(QChar, separator);
        QFETCH(QString, result);
        QCOMPARE(NormalisedFolderPath(chosen, separator), result);
        QVERIFY(!NormalisedFolderPath(chosen, separator).contains(QChar(u'\0')));
    }

private:
    QList<QUrl> m_opened;
};

QTEST_MAIN(ShellServicesTest)
#include "ShellServicesTest.moc"
