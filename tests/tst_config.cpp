#include "config/Config.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace config;

class TestConfig : public QObject {
    Q_OBJECT
private slots:
    void init();
    void read_data();
    void read();
    void readsWhatItCanFromBadFiles_data();
    void readsWhatItCanFromBadFiles();
    void write_data();
    void write();
    void writeCreatesFile();
    void readOnlyFileRaisesAndStaysUnchanged();
    void writeKeepsPermissions();
    void readBool_data();
    void readBool();
    void otherProgramsChangeIsSeen();

private:
    void put(const QByteArray& bytes);
    QByteArray bytes() const;
    QTemporaryDir dir_;
};

void TestConfig::init() {
    SetConfigPath(dir_.filePath("config.ini"));
    QFile::remove(ConfigPath());
}

void TestConfig::put(const QByteArray& content) {
    QFile f(ConfigPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray TestConfig::bytes() const {
    QFile f(ConfigPath());
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void TestConfig::read_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const QByteArray sys = "[system]\ndriverinstall=1\n";
    QTest::newRow("plain") << sys << "system"
                           << "driverinstall"
                           << "1";
    QTest::newRow("capitals in file") << QByteArray("[SYSTEM]\nDriverInstall=1\n") << "system"
                                      << "driverinstall"
                                      << "1";
    QTest::newRow("capitals asked") << sys << "System"
                                    << "DRIVERINSTALL"
                                    << "1";
    QTest::newRow("blanks around")
        << QByteArray(" [ system ] \n  driverinstall  =  1 \n") << "system"
        << "driverinstall"
        << "1";
    QTest::newRow("missing key") << sys << "system"
                                 << "other"
                                 << "";
    QTest::newRow("missing section") << sys << "Param"
                                     << "driverinstall"
                                     << "";
    QTest::newRow("key of another section") << QByteArray("[a]\nk=1\n[b]\nj=2\n") << "b"
                                            << "k"
                                            << "";
    QTest::newRow("first of two") << QByteArray("[a]\nk=1\nk=2\n") << "a"
                                  << "k"
                                  << "1";
    QTest::newRow("quoted") << QByteArray("[a]\nk=\"x y\"\n") << "a"
                            << "k"
                            << "x y";
    QTest::newRow("CRLF") << QByteArray("[a]\r\nk=v\r\n") << "a"
                          << "k"
                          << "v";
    QTest::newRow("no trailing newline") << QByteArray("[a]\nk=v") << "a"
                                         << "k"
                                         << "v";
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[a]\nk=v\n") << "a"
                                     << "k"
                                     << "v";
    QTest::newRow("header without bracket") << QByteArray("[a\nk=v\n") << "a"
                                            << "k"
                                            << "v";
    QTest::newRow("empty value") << QByteArray("[a]\nk=\n") << "a"
                                 << "k"
                                 << "";
    QTest::newRow("UTF-8 value") << QByteArray("[a]\nk=熔接\n") << "a"
                                 << "k"
                                 << "熔接";
    QTest::newRow("long value cut") << QByteArray("[a]\nk=" + QByteArray(3000, 'x') + "\n") << "a"
                                    << "k" << QString(2047, 'x');
}

void TestConfig::read() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    put(file);
    QCOMPARE(ReadConfigString(section, key), value);
}

void TestConfig::readsWhatItCanFromBadFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 37) % 256));
    QTest::newRow("binary garbage") << binary + "\n[a]\nk=v\n";
    QTest::newRow("1 MB line") << QByteArray(1 << 20, '=') + "\n[a]\nk=v\n";
    QTest::newRow("NUL bytes") << QByteArray("\0\0[x]\0\n[a]\nk=v\n", 16);
}

void TestConfig::readsWhatItCanFromBadFiles() {
    QFETCH(QByteArray, file);
    put(file);
    QCOMPARE(ReadConfigString("a", "k"), QString("v"));
    WriteConfigString("a", "k", "w");
    QCOMPARE(ReadConfigString("a", "k"), QString("w"));
    QCOMPARE(bytes().left(file.size() - 4), file.left(file.size() - 4));
}

void TestConfig::write_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("replace in place")
        << QByteArray("; note\n[system]\ndriverinstall=1\nother=x\n\n[Param]\nHeat=60\n")
        << "SYSTEM"
        << "DriverInstall"
        << "0" << QByteArray("; note\n[system]\nDriverInstall=0\nother=x\n\n[Param]\nHeat=60\n");
    QTest::newRow("new key at end of its section")
        << QByteArray("[system]\ndriverinstall=1\n\n[Param]\nHeat=60\n") << "system"
        << "k"
        << "v" << QByteArray("[system]\ndriverinstall=1\nk=v\n\n[Param]\nHeat=60\n");
    QTest::newRow("new section at end")
        << QByteArray("[system]\ndriverinstall=0\n") << "Param"
        << "Heat"
        << "60" << QByteArray("[system]\ndriverinstall=0\n[Param]\nHeat=60\n");
    QTest::newRow("no trailing newline") << QByteArray("[a]\nk=1") << "a"
                                         << "j"
                                         << "2" << QByteArray("[a]\nk=1\nj=2");
    QTest::newRow("new section after missing newline") << QByteArray("[a]\nk=1") << "b"
                                                       << "j"
                                                       << "2" << QByteArray("[a]\nk=1\n[b]\nj=2\n");
    QTest::newRow("CRLF kept") << QByteArray("[a]\r\nk=1\r\n") << "a"
                               << "j"
                               << "2" << QByteArray("[a]\r\nk=1\r\nj=2\r\n");
    QTest::newRow("replace keeps CRLF") << QByteArray("[a]\r\nk=1\r\nz=9\r\n") << "a"
                                        << "k"
                                        << "2" << QByteArray("[a]\r\nk=2\r\nz=9\r\n");
    QTest::newRow("empty value") << QByteArray("[a]\nk=1\n") << "a"
                                 << "k"
                                 << "" << QByteArray("[a]\nk=\n");
    QTest::newRow("byte-order mark kept") << QByteArray("\xEF\xBB\xBF[a]\nk=1\n") << "a"
                                          << "k"
                                          << "2" << QByteArray("\xEF\xBB\xBF[a]\nk=2\n");
}

void TestConfig::write() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    put(before);
    WriteConfigString(section, key, value);
    QCOMPARE(bytes(), after);
    QCOMPARE(ReadConfigString(section, key), value);
}

void TestConfig::writeCreatesFile() {
    WriteConfigBool("Param", "cbpullpush", true);
    WriteConfigBool("Param", "cbAdjustReset", false);
    QCOMPARE(bytes(), QByteArray("[Param]\ncbpullpush=1\ncbAdjustReset=0\n"));
}

void TestConfig::readOnlyFileRaisesAndStaysUnchanged() {
    const QByteArray content("[system]\ndriverinstall=1\n");
    put(content);
    QVERIFY(::chmod(QFile::encodeName(ConfigPath()).constData(), 0444) == 0);
    try {
        WriteConfigString("system", "driverinstall", "0");
        QFAIL("write succeeded");
    } catch (const EConfigWrite& e) {
        QCOMPARE(QString(e.what()), "Unable to write to " + ConfigPath());
    }
    QCOMPARE(bytes(), content);
    ::chmod(QFile::encodeName(ConfigPath()).constData(), 0644);
}

void TestConfig::writeKeepsPermissions() {
    put("[a]\nk=1\n");
    ::chmod(QFile::encodeName(ConfigPath()).constData(), 0640);
    WriteConfigString("a", "k", "2");
    struct stat st {};
    ::stat(QFile::encodeName(ConfigPath()).constData(), &st);
    QCOMPARE(int(st.st_mode & 0777), 0640);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), QStringList{"config.ini"}); // no leftovers
}

void TestConfig::readBool_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("yes");
    QTest::newRow("1") << "1" << true;
    QTest::newRow("2") << "2" << true;
    QTest::newRow("0x1") << "0x1" << true;
    QTest::newRow("0X0") << "0X0" << false;
    QTest::newRow("0x alone") << "0x" << false;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("-1") << "-1" << true;
    QTest::newRow("true") << "true" << false;
    QTest::newRow("yes") << "yes" << false;
    QTest::newRow("empty") << "" << false;
}

void TestConfig::readBool() {
    QFETCH(QString, text);
    QFETCH(bool, yes);
    put("[Param]\ncbClearDust=" + text.toUtf8() + "\n");
    QCOMPARE(ReadConfigBool("Param", "cbClearDust"), yes);
}

void TestConfig::otherProgramsChangeIsSeen() {
    put("[a]\nk=1\n");
    QCOMPARE(ReadConfigString("a", "k"), QString("1"));
    put("[a]\nk=2\n");
    QCOMPARE(ReadConfigString("a", "k"), QString("2"));
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
