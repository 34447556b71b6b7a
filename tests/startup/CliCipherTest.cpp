#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Result {
    int code = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(CONTIVO_APPDIR "/contivo-cli"), args);
    Result r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

class CliCipher : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_key = m_tmp.path() + "/Support.dat";
        QFile f(m_key);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (int r = 0; r < 4; ++r)
            for (int b = 0; b < 256; ++b)
                f.putChar(char(b));
    }
    QTemporaryDir m_tmp;
    QString m_key;
};

}

TEST_F(CliCipher, EnciphersAndDeciphersWithTheKeyFile)
{
    const std::pair<QString, QString> cases[] = {
        {"Segreto", "kjmaaceojpccfkeohjegkhjpckom"},
        {QString::fromUtf8("àèì €uro"), "kejjebdofhalekglgfjglcchjaomindm"},
    };
    for (const auto& [plain, cipher] : cases) {
        const Result enc = runCli({"encipher", "--key-file", m_key, plain});
        EXPECT_EQ(enc.code, 0) << enc.err.toStdString();
        EXPECT_EQ(enc.out, cipher + "\n");
        const Result dec = runCli({"decipher", "--key-file", m_key, cipher});
        EXPECT_EQ(dec.code, 0) << dec.err.toStdString();
        EXPECT_EQ(dec.out, plain + "\n");
    }
    const Result empty = runCli({"encipher", "--key-file", m_key, ""});
    EXPECT_EQ(empty.code, 0);
    EXPECT_EQ(empty.out, "\n");
}

TEST_F(CliCipher, MissingKeyFileFailsAndBadArgumentsShowTheUsage)
{
    for (const char* command : {"encipher", "decipher"}) {
        const Result missing = runCli({command, "--key-file", m_tmp.path() + "/none.dat", "abcd"});
        EXPECT_EQ(missing.code, 1) << command;
        EXPECT_TRUE(missing.err.contains("File not found !")) << missing.err.toStdString();
        EXPECT_TRUE(missing.out.isEmpty());

        const QStringList bad[] = {
            {command},
            {command, "abcd"},
            {command, "--key-file", m_key},
            {command, "--key-file", m_key, "a", "b"},
            {command, "--key", m_key, "a"},
        };
        for (const QStringList& args : bad) {
            const Result r = runCli(args);
            EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
            EXPECT_TRUE(r.err.startsWith(QString("usage: contivo-cli ") + command)) << r.err.toStdString();
        }
    }
}
