#include "platform/Folders.h"

#include "ScopedEnv.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace tq::platform {
namespace {

// What is wrong with the private temporary folder made by the first call of
// this process, with the system temporary folder pointed at sysFolder; ""
// when nothing is.
std::string firstTempFolderProblem(const std::string& sysFolder)
{
    setenv("TMPDIR", sysFolder.c_str(), 1);
    const std::string t = tempFolder();
    unsetenv("TMPDIR");

    if (t.empty()) return "no folder made";
    if (fs::path(t).parent_path() != fs::path(sysFolder)) return t + " is not inside " + sysFolder;
    struct stat st {};
    if (::stat(t.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return t + " is not a folder";
    if ((st.st_mode & 0777) != 0700) return t + " is not private to its owner";
    if (tempFolder() != t) return "a second call made another folder";
    if (fs::path(t).filename() == "t65s8s98") return "the folder has a fixed name";
    if (tempFilePath(kTempConversionName) != t + "/4546643") return "conversion file not inside it";
    if (tempFilePath(kTempBitmapName) != t + "/t65s8s98") return "temporary bitmap not inside it";
    return {};
}

} // namespace

TEST(Folders, PrivateTemporaryFolderIsMadeOnceInsideTheSystemOneAndGoesAtTheEnd)
{
    // The folder is made by the first call of a process, so the check runs
    // in a fresh copy of this program, whatever this one has run before.
    // That copy runs this test again from the start: it takes the system
    // folder of this run from the environment instead of making its own, so
    // what it leaves shows here.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    constexpr const char* kSystemFolderVariable = "TQ_TEST_SYSTEM_TEMP";
    const char* given = std::getenv(kSystemFolderVariable);
    std::optional<QTemporaryDir> sys;
    if (!given) sys.emplace();
    ASSERT_TRUE(given || sys->isValid());
    const std::string sysFolder = given ? std::string(given) : sys->path().toStdString();
    ScopedEnv passed(kSystemFolderVariable, sysFolder);
    EXPECT_EXIT(
        {
            const std::string problem = firstTempFolderProblem(sysFolder);
            std::fputs(problem.c_str(), stderr);
            std::exit(problem.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    // The program removed its folder when it ended.
    EXPECT_TRUE(fs::is_empty(sysFolder));
}

TEST(Folders, TemporaryFolderSetByATestStandsInUntilCleared)
{
    const std::string own = tempFolder();
    QTemporaryDir mine;
    setTempFolder(mine.path().toStdString());
    EXPECT_EQ(tempFolder(), mine.path().toStdString());
    EXPECT_EQ(tempFilePath(kTempBitmapName), mine.path().toStdString() + "/t65s8s98");
    setTempFolder("");
    EXPECT_EQ(tempFolder(), own);
}

TEST(Folders, ProgramFolderIsTheExecutablesUnlessSet)
{
    // The test programs run with a program folder of their own; it is put
    // back at the end.
    const std::string runFolder = programFolder();
    const std::string exe = fs::read_symlink("/proc/self/exe").parent_path().string();
    setProgramFolder("");
    EXPECT_EQ(programFolder(), exe);
    setProgramFolder("/some/where");
    EXPECT_EQ(programFolder(), "/some/where");
    setProgramFolder("");
    EXPECT_EQ(programFolder(), exe);
    setProgramFolder(runFolder == exe ? std::string() : runFolder);
}

TEST(Folders, JoinPathPutsOneSeparator)
{
    EXPECT_EQ(joinPath("/a", "b"), "/a/b");
    EXPECT_EQ(joinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(joinPath("", "b"), "b");
}

} // namespace tq::platform
