#include "base/ProgramFolder.h"

#include <gtest/gtest.h>

namespace {

struct FolderCase {
    const char* name;
    const char* programDir;
    bool writable;
    const char* expected;
};

// The installed place is /usr/bin; the user's data folder is /home/op/.local/share/Tarvo.
const FolderCase folderCases[] = {
    {"BuildFolderStaysBesideTheProgram", "/work/build/release/src/app", true, "/work/build/release/src/app"},
    {"InstalledProgramUsesTheDataFolderEvenForRoot", "/usr/bin", true, "/home/op/.local/share/Tarvo"},
    {"InstalledPathWithTrailingSlash", "/usr/bin/", true, "/home/op/.local/share/Tarvo"},
    {"UnwritableFolderUsesTheDataFolder", "/opt/tarvo", false, "/home/op/.local/share/Tarvo"},
};

class ProgramFolderChoice : public testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderChoice, PicksWhereFilesCanBeWritten)
{
    const FolderCase& c = GetParam();
    EXPECT_EQ(ChooseProgramFolder(QString::fromUtf8(c.programDir), QStringLiteral("/usr/bin"), c.writable,
                                  QStringLiteral("/home/op/.local/share/Tarvo")),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramFolderChoice, testing::ValuesIn(folderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramFolderChoice, WithoutADataFolderStaysBesideTheProgram)
{
    EXPECT_EQ(ChooseProgramFolder(QStringLiteral("/usr/bin"), QStringLiteral("/usr/bin"), false, QString()),
              QStringLiteral("/usr/bin"));
}

} // namespace
