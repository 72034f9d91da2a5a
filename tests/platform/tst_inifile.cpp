// Reading CAMINHO out of config.ini as an administrator may have written it.
#include "platform/files/IniFile.h"

#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void value_data();
    void value();
    void missingFile();
};

void TestIniFile::value_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("expected");
    const QString fallback = QStringLiteral("padrão");
    QTest::newRow("CR LF, backslashes") << QByteArray("[DB]\r\nCAMINHO=C:\\Dados\\cap.db\r\n")
                                        << QStringLiteral("C:\\Dados\\cap.db");
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF[DB]\r\nCAMINHO=/s\xC3\xA3o.db\r\n")
                                    << QStringLiteral("/são.db");
    QTest::newRow("Latin-1") << QByteArray("[DB]\r\nCAMINHO=/associa\xE7\xE3o.db\r\n")
                             << QStringLiteral("/associação.db");
    QTest::newRow("names in lower case")
        << QByteArray("[db]\r\ncaminho=/a.db\r\n") << QStringLiteral("/a.db");
    QTest::newRow("blanks around")
        << QByteArray(" [ DB ] \r\n  CAMINHO =  /x y/a.db \t\r\n") << QStringLiteral("/x y/a.db");
    QTest::newRow("quoted") << QByteArray("[DB]\r\nCAMINHO=\"/x y/a.db\"\r\n")
                            << QStringLiteral("/x y/a.db");
    QTest::newRow("equals and semicolon in the value")
        << QByteArray("[DB]\r\nCAMINHO=postgresql://u:a=b;c@h:5432/cap\r\n")
        << QStringLiteral("postgresql://u:a=b;c@h:5432/cap");
    QTest::newRow("comment line") << QByteArray("[DB]\r\n;CAMINHO=/velho.db\r\nCAMINHO=/novo.db")
                                  << QStringLiteral("/novo.db");
    QTest::newRow("first one wins")
        << QByteArray("[DB]\r\nCAMINHO=/a.db\r\nCAMINHO=/b.db\r\n") << QStringLiteral("/a.db");
    QTest::newRow("empty value is not the default")
        << QByteArray("[DB]\r\nCAMINHO=\r\n") << QString("");
    QTest::newRow("other section")
        << QByteArray("[DBX]\r\nCAMINHO=/a.db\r\n[DB]\r\nX=1\r\n") << fallback;
    QTest::newRow("after the section")
        << QByteArray("[DB]\r\nX=1\r\n[Outro]\r\nCAMINHO=/a.db") << fallback;
    QTest::newRow("before any section") << QByteArray("CAMINHO=/a.db\r\n[DB]\r\n") << fallback;
    QTest::newRow("longer key names")
        << QByteArray("[DB]\r\nCAMINHO2=/a.db\r\nCAMINHOS=/b.db") << fallback;
    QTest::newRow("key without equals sign") << QByteArray("[DB]\r\nCAMINHO /a.db\r\n") << fallback;
}

void TestIniFile::value() {
    QFETCH(QByteArray, contents);
    QFETCH(QString, expected);
    const QString got = IniFile::valueIn(contents, QStringLiteral("DB"), QStringLiteral("CAMINHO"),
                                         QStringLiteral("padrão"));
    QCOMPARE(got, expected);
    QCOMPARE(got.isNull(), expected.isNull());
}

void TestIniFile::missingFile() {
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             IniFile::readString(dir.filePath(QStringLiteral("config.ini")),
                                                 QStringLiteral("DB"), QStringLiteral("CAMINHO")));
}

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
