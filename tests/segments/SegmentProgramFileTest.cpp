#include "segments/SegmentProgramFile.h"

#include "base/Clock.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>

namespace {

const QString Demo = QStringLiteral("10 100 Ramp\r\n12 100 Step Some_random_comment\r\n12.5 30 Ramp\r\n"
                                    "15 50 Step\r\n20 30 Step\r\n24 0 Ramp");

void WriteBytes(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadBytes(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(SegmentProgramFile, FolderAndProposedName)
{
    TempFolder folder;
    EXPECT_EQ(SegmentProgramFolder(), QDir(folder.Path()).filePath(QStringLiteral("Segment Programs")));
    const double moment = DateTimeToDays(QDateTime(QDate(2026, 10, 16), QTime(9, 52, 59, 900)));
    EXPECT_EQ(ProposedSegmentProgramFileName(moment, QStringLiteral("COM3"), QStringLiteral("MFC-A")),
              QStringLiteral("2026-10-16 09-52 COM3 MFC-A.txt"));
    const double evening = DateTimeToDays(QDateTime(QDate(2026, 1, 2), QTime(21, 5)));
    EXPECT_EQ(ProposedSegmentProgramFileName(evening, QStringLiteral("COMX"), QStringLiteral("MFC")),
              QStringLiteral("2026-01-02 21-05 COMX MFC.txt"));
}

TEST(SegmentProgramFile, SaveWritesCrLfLinesAndLoadsBack)
{
    TempFolder folder;
    RecordingPrompts prompts;
    const QString fileName = folder.FilePath(QStringLiteral("program.txt"));
    QString error;
    ASSERT_TRUE(SaveSegmentProgramFile(fileName, QStringLiteral("\r\n ") + Demo + QStringLiteral(" \r\n\r\n"), error))
        << error.toStdString();
    EXPECT_EQ(ReadBytes(fileName), Demo.toLatin1() + "\r\n");

    QString program;
    EXPECT_EQ(LoadSegmentProgramFile(fileName, program, error), sflLoaded);
    EXPECT_EQ(program, Demo);
    EXPECT_TRUE(prompts.Messages.isEmpty());

    // Overwrites, one byte per character, lone breaks written as CR LF.
    ASSERT_TRUE(SaveSegmentProgramFile(fileName, QStringLiteral("1 2 Step caf\u00e9\n2 3 Ramp"), error));
    EXPECT_EQ(ReadBytes(fileName), QByteArray("1 2 Step caf\xe9\r\n2 3 Ramp\r\n"));
    ASSERT_TRUE(ReadSegmentProgramFile(fileName, program, error));
    EXPECT_EQ(program, QStringLiteral("1 2 Step caf\u00e9\r\n2 3 Ramp"));

    ASSERT_TRUE(SaveSegmentProgramFile(fileName, QString(), error));
    EXPECT_EQ(ReadBytes(fileName), QByteArray());
}

TEST(SegmentProgramFile, ReadsUnicodeFilesWithByteOrderMark)
{
    TempFolder folder;
    RecordingPrompts prompts;
    const QString text = QStringLiteral("1 2 Step\n2.5 30 Ramp a_b\n");
    const QString expected = QStringLiteral("1 2 Step\r\n2.5 30 Ramp a_b");
    struct Case { const char* name; QByteArray bytes; };
    const Case cases[] = {
        {"utf-8", QByteArray("\xEF\xBB\xBF") + text.toUtf8()},
        {"utf-16le", QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom).encode(text)},
        {"utf-16be", QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom).encode(text)},
    };
    for (const Case& c : cases) {
        const QString fileName = folder.FilePath(QString::fromLatin1(c.name) + QStringLiteral(".txt"));
        WriteBytes(fileName, c.bytes);
        QString program, error;
        EXPECT_EQ(LoadSegmentProgramFile(fileName, program, error), sflLoaded) << c.name;
        EXPECT_EQ(program, expected) << c.name;
    }
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST(SegmentProgramFile, InvalidOrUnreadableFilesLeaveTheProgram)
{
    TempFolder folder;
    RecordingPrompts prompts;
    const QString tabbed = folder.FilePath(QStringLiteral("tab.txt"));
    WriteBytes(tabbed, "1 2 Step\r\n2\t3 Ramp\r\n");
    QString program = QStringLiteral("kept");
    QString error;
    EXPECT_EQ(LoadSegmentProgramFile(tabbed, program, error), sflInvalid);
    EXPECT_EQ(program, QStringLiteral("kept"));
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Invalid character: \t")});

    prompts.Messages.clear();
    EXPECT_EQ(LoadSegmentProgramFile(folder.FilePath(QStringLiteral("missing.txt")), program, error), sflUnreadable);
    EXPECT_EQ(program, QStringLiteral("kept"));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.txt"))) << error.toStdString();
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST(SegmentProgramFile, TimesMustNotDecreaseAndAnEmptyFileIsToldApart)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        TSegmentFileLoad result;
        QString program; // after the load, starting from "kept"
        QString error;
    };
    const Case cases[] = {
        {"decreasing from the second line", "10 0 Step\r\n5 50 Step\r\n2 0 Step\r\n", sflDisordered, "kept",
         "Program times must not decrease (line 2)."},
        {"decreasing further down", "0 0 Step\r\n5 50 Ramp\r\n5 60 Step\r\n3 0 Step\r\n", sflDisordered, "kept",
         "Program times must not decrease (line 4)."},
        {"equal times", "0 0 Step\r\n5 50 Step\r\n5 60 Step\r\n", sflLoaded,
         "0 0 Step\r\n5 50 Step\r\n5 60 Step", ""},
        {"empty", "", sflEmpty, "", ""},
        {"blank lines only", "\r\n  \r\n", sflEmpty, "", ""},
    };
    TempFolder folder;
    RecordingPrompts prompts;
    for (const Case& c : cases) {
        const QString fileName = folder.FilePath(QStringLiteral("program.txt"));
        WriteBytes(fileName, c.bytes);
        QString program = QStringLiteral("kept");
        QString error;
        EXPECT_EQ(LoadSegmentProgramFile(fileName, program, error), c.result) << c.name;
        EXPECT_EQ(program, c.program) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
    }
    EXPECT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join(u'\n').toStdString();
}

// Files that hold no program, as an operator may pick them by mistake: each
// is refused at once with a message that says why, the device keeping its
// program.
TEST(SegmentProgramFile, FilesThatHoldNoProgramAreRefused)
{
    QByteArray validAtTheLimit;
    while (validAtTheLimit.size() + 10 <= MaxSegmentProgramFileBytes)
        validAtTheLimit += "0 50 Step\n";
    validAtTheLimit += QByteArray(MaxSegmentProgramFileBytes - validAtTheLimit.size(), ' ');
    struct Case {
        const char* name;
        QByteArray bytes;
        TSegmentFileLoad result;
        QString error;   // from the load
        QString message; // the validator's message box
    };
    const Case cases[] = {
        {"malformed line", "0 0 Step\r\n5 fifty Ramp\r\n", sflInvalid, "", "Invalid setpoint format"},
        {"binary", QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0", 20), sflUnreadable,
         "Program file is not a text file.", ""},
        {"one byte over 1 MB", QByteArray(MaxSegmentProgramFileBytes + 1, '\n'), sflUnreadable, "Program file too large.",
         ""},
        {"valid at 1 MB", validAtTheLimit, sflLoaded, "", ""},
    };
    TempFolder folder;
    RecordingPrompts prompts;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Messages.clear();
        const QString fileName = folder.FilePath(QStringLiteral("picked.txt"));
        WriteBytes(fileName, c.bytes);
        QString program = QStringLiteral("kept");
        QString error;
        QElapsedTimer loading;
        loading.start();
        EXPECT_EQ(LoadSegmentProgramFile(fileName, program, error), c.result);
        // Loose: the fault was a load of minutes, not a slow or sanitized build.
        EXPECT_LT(loading.elapsed(), 10000);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(prompts.Messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        if (c.result != sflLoaded) {
            EXPECT_EQ(program, QStringLiteral("kept"));
        }
    }
}

#ifdef Q_OS_UNIX
// A device file never ends: the load reads no more than the limit.
TEST(SegmentProgramFile, EndlessFileIsRefusedWithoutHanging)
{
    QString program = QStringLiteral("kept");
    QString error;
    EXPECT_EQ(LoadSegmentProgramFile(QStringLiteral("/dev/zero"), program, error), sflUnreadable);
    EXPECT_EQ(error, QStringLiteral("Program file too large."));
    EXPECT_EQ(program, QStringLiteral("kept"));
}
#endif

TEST(SegmentProgramFile, WriteFailureIsReported)
{
    TempFolder folder;
    const QString fileName = folder.FilePath(QStringLiteral("no such folder/program.txt"));
    QString error;
    EXPECT_FALSE(SaveSegmentProgramFile(fileName, QStringLiteral("1 2 Step"), error));
    EXPECT_TRUE(error.contains(QStringLiteral("program.txt"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(fileName));
}
