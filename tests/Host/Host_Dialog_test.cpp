#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Host/Host_Dialog.h"
#include "Options/Runner_Options.h"

namespace {
const HostDialogButton kButtons[] = {{1, "Yes"}, {2, "No"}};
const HostDialogRequest kRequest{"Question", "Go on?", HOSTDIALOG_INFO, kButtons, 2, 2};

// Sets an environment variable for the test's duration.
struct ScopedEnv {
    std::string name;
    std::string old;
    bool had;
    ScopedEnv(const char* n, const char* value) : name(n), had(std::getenv(n) != nullptr)
    {
        if (had) old = std::getenv(n);
        if (value)
            setenv(n, value, 1);
        else
            unsetenv(n);
    }
    ~ScopedEnv()
    {
        if (had)
            setenv(name.c_str(), old.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
};
}  // namespace

TEST(HostDialog, HeadlessAnswersFromItsScriptThenTheDefault)
{
    HeadlessDialog dialog;
    dialog.QueueAnswer(1);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(dialog.Show(kRequest), 1);
    EXPECT_EQ(dialog.Show(kRequest), 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Question:\nGo on?\nQuestion:\nGo on?\n");
    EXPECT_EQ(dialog.ShowCount(), 2);
    EXPECT_EQ(dialog.LastText(), "Go on?");
}

TEST(HostDialog, HeadlessIsChosenWithoutDisplayOrWithHeadlessMode)
{
    {
        ScopedEnv driver("SDL_VIDEODRIVER", "dummy");
        ScopedEnv display("DISPLAY", ":0");
        EXPECT_FALSE(Host_HasDisplay());
        EXPECT_FALSE(Host_Dialog_Get().Interactive());
    }
    {
        ScopedEnv driver("SDL_VIDEODRIVER", nullptr);
        ScopedEnv display("DISPLAY", ":0");
        EXPECT_TRUE(Host_HasDisplay());
        EXPECT_TRUE(Host_Dialog_Get().Interactive());
        HeadlessMode.noDialogs = true;
        EXPECT_FALSE(Host_Dialog_Get().Interactive());
    }
}

TEST(HostDialog, OverrideTakesPrecedence)
{
    HeadlessDialog mine;
    Host_Dialog_Set(&mine);
    EXPECT_EQ(&Host_Dialog_Get(), &mine);
    Host_Dialog_Set(nullptr);
    EXPECT_NE(&Host_Dialog_Get(), &mine);
}

#include <sys/stat.h>

#include <fstream>

#include "support/TempFolder.h"

namespace {
// A stand-in zenity on the search path: it prints its arguments, one a line,
// and cancels (exit 1) when asked for a password.
struct FakeZenity : ::testing::Test {
    TempFolder folder;
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";

    void SetUp() override
    {
        const std::string script = folder / "zenity";
        std::ofstream(script) << "#!/bin/sh\n"
                                 "for a in \"$@\"; do [ \"$a\" = --password ] && exit 1; done\n"
                                 "printf '%s\\n' \"$@\"\n";
        chmod(script.c_str(), 0755);
    }
};

TEST_F(FakeZenity, TextAndFileDialogsRunZenityWithoutAShell)
{
    ScopedEnv searchPath("PATH", (folder.Path() + ":" + path).c_str());
    SdlDialog desktop;
    const HostDialogAnswer text = desktop.AskText("Title", "Name?\r\nPlease", "Ann's $HOME");
    EXPECT_TRUE(text.ok);
    EXPECT_EQ(text.text, "--entry\n--title=Title\n--text=Name?\nPlease\n--entry-text=Ann's $HOME")
        << "arguments arrive unchanged, with no shell between";
    const HostDialogAnswer file =
        desktop.AskFile(HostFileRequest{true, "Save", "Text|*.txt;*.md|All|*", "notes", "/tmp"});
    EXPECT_EQ(file.text, "--file-selection\n--save\n--confirm-overwrite\n--title=Save\n--filename=/tmp/notes\n"
                         "--file-filter=Text | *.txt *.md\n--file-filter=All | *");
    const HostDialogAnswer login = desktop.AskLogin("Login", "ann", "pw");
    EXPECT_FALSE(login.ok) << "zenity's cancel";
    EXPECT_EQ(login.text, "");
}

TEST_F(FakeZenity, WithoutZenityTheHeadlessAnswersCome)
{
    ScopedEnv searchPath("PATH", "/nonexistent");
    SdlDialog desktop;
    EXPECT_EQ(desktop.AskText("Title", "Name?", "default").text, "default");
    EXPECT_FALSE(desktop.AskFile(HostFileRequest{false, "Open", nullptr, "", ""}).ok);
}
}  // namespace
