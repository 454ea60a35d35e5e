#include "platform/Folders.h"

#include <QTemporaryDir>

#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace tq::platform {

TEST(Folders, PrivateTemporaryFolderIsMadeOnceInsideTheSystemOne)
{
    // Point the system temporary folder at one of this test's own before the
    // private folder is first made (nothing else in this program makes it).
    // The folder is made once a process, so the system one stays for the
    // whole run: a repeated test finds it still there.
    static QTemporaryDir sys;
    ASSERT_TRUE(sys.isValid());
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", sys.path().toStdString().c_str(), 1);

    const std::string t = tempFolder();
    if (old) setenv("TMPDIR", saved.c_str(), 1); else unsetenv("TMPDIR");

    ASSERT_FALSE(t.empty());
    EXPECT_EQ(fs::path(t).parent_path(), fs::path(sys.path().toStdString()));
    struct stat st {};
    ASSERT_EQ(::stat(t.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(tempFolder(), t);   // made once
    EXPECT_NE(fs::path(t).filename(), "t65s8s98");

    EXPECT_EQ(tempFilePath(kTempConversionName), t + "/4546643");
    EXPECT_EQ(tempFilePath(kTempBitmapName), t + "/t65s8s98");

    QTemporaryDir mine;
    setTempFolder(mine.path().toStdString());
    EXPECT_EQ(tempFolder(), mine.path().toStdString());
    setTempFolder("");
    EXPECT_EQ(tempFolder(), t);
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
