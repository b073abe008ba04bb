// window-waiter against windows this program makes on the display it is given (with-display.sh
// starts a private Xvfb for it): what counts as shown, as painted, as gone and as changed, and
// that it gives up at its deadline saying what it waited for. Every waiter is started with
// --ready and the windows are made only once it watches, so no case depends on timing; the cases
// that expect nothing to be reported let a short deadline pass.

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* kWaiter = MORLENT_WINDOW_WAITER;

// A window-waiter process with its standard output and error read back.
class WaiterProcess {
public:
    explicit WaiterProcess(const std::vector<std::string>& arguments)
    {
        int out[2];
        int err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            close(out[0]);
            close(out[1]);
            close(err[0]);
            close(err[1]);
            std::vector<char*> argv{const_cast<char*>(kWaiter)};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(kWaiter, argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~WaiterProcess()
    {
        if (pid_ > 0 && status_ < 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0)
            close(out_);
        if (err_ >= 0)
            close(err_);
    }
    WaiterProcess(const WaiterProcess&) = delete;
    WaiterProcess& operator=(const WaiterProcess&) = delete;

    // The first line, which --ready makes "ready" once the waiter watches.
    std::string FirstLine()
    {
        std::string line;
        char c = 0;
        while (read(out_, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

    // Everything else it prints, and its exit status once it has ended.
    int Finish()
    {
        output_ += ReadAll(out_);
        errors_ = ReadAll(err_);
        int status = 0;
        waitpid(pid_, &status, 0);
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return status_;
    }

    const std::string& output() const { return output_; }
    const std::string& errors() const { return errors_; }

private:
    static std::string ReadAll(int descriptor)
    {
        std::string text;
        char buffer[512];
        ssize_t size = 0;
        while ((size = read(descriptor, buffer, sizeof buffer)) > 0)
            text.append(buffer, static_cast<size_t>(size));
        return text;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    int status_ = -1;
    std::string output_;
    std::string errors_;
};

std::string Hex(Window window)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(window));
    return text;
}

class WindowWaiterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr) << "these tests run on a display; with-display.sh gives them one";
        root_ = DefaultRootWindow(display_);
        gc_ = XCreateGC(display_, root_, 0, nullptr);
        XSetForeground(display_, gc_, WhitePixel(display_, DefaultScreen(display_)));
    }
    void TearDown() override
    {
        if (display_ == nullptr)
            return;
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
            XDestroyWindow(display_, *it);
        XFreeGC(display_, gc_);
        XCloseDisplay(display_);
    }

    // An unmapped window with no background, so that the server draws nothing in it by itself.
    Window Make(Window parent, int x, int y, unsigned width, unsigned height, const char* name = nullptr,
                const char* instance = nullptr, const char* windowClass = nullptr)
    {
        XSetWindowAttributes attributes{};
        attributes.background_pixmap = None;
        const Window window = XCreateWindow(display_, parent, x, y, width, height, 0, CopyFromParent, InputOutput,
                                            CopyFromParent, CWBackPixmap, &attributes);
        if (name != nullptr)
            XStoreName(display_, window, name);
        if (instance != nullptr) {
            XClassHint hint{const_cast<char*>(instance), const_cast<char*>(windowClass)};
            XSetClassHint(display_, window, &hint);
        }
        windows_.push_back(window);
        return window;
    }
    void Map(Window window)
    {
        XMapWindow(display_, window);
        XSync(display_, False);
    }
    void Fill(Window window, int x, int y, unsigned width, unsigned height)
    {
        XFillRectangle(display_, window, gc_, x, y, width, height);
        XSync(display_, False);
    }

    Display* display_ = nullptr;
    Window root_ = None;
    GC gc_ = nullptr;
    std::vector<Window> windows_;
};

// --- mapped: which windows count as shown ---

TEST_F(WindowWaiterTest, ReportsATopLevelWindowMappedAfterItStartedWithItsPlaceAndName)
{
    WaiterProcess waiter({"mapped", "--name", "^probe one$", "--ready", "--timeout", "20"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    Make(root_, 0, 0, 30, 30, "probe one two"); // matches no anchored pattern
    const Window window = Make(root_, 40, 50, 120, 60, "probe one");
    Map(windows_[0]);
    Map(window);
    ASSERT_EQ(waiter.Finish(), 0) << waiter.errors();
    EXPECT_EQ(waiter.output(), Hex(window) + " 40 50 120 60 probe one\n");
}

TEST_F(WindowWaiterTest, FindsAWindowEmbeddedInAnotherByClassAtItsPlaceOnTheRoot)
{
    const Window host = Make(root_, 100, 80, 300, 200, "host");
    Map(host);
    WaiterProcess waiter({"mapped", "--class", "^MorlentEditor$", "--ready", "--timeout", "20"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    const Window frame = Make(host, 10, 10, 280, 180);
    const Window editor = Make(frame, 5, 7, 100, 50, nullptr, "morlent-editor", "MorlentEditor");
    Map(frame);
    Map(editor);
    ASSERT_EQ(waiter.Finish(), 0) << waiter.errors();
    EXPECT_EQ(waiter.output(), Hex(editor) + " 115 97 100 50 \n");
}

TEST_F(WindowWaiterTest, AWindowMappedInsideAnUnmappedOneIsShownOnlyWhenThatOneMaps)
{
    const Window host = Make(root_, 0, 0, 200, 100, "host");
    const Window inner = Make(host, 0, 0, 50, 50, "inner");
    Map(inner);
    {
        WaiterProcess notYet({"mapped", "--name", "^inner$", "--ready", "--timeout", "0.5"});
        ASSERT_EQ(notYet.FirstLine(), "ready");
        EXPECT_EQ(notYet.Finish(), 1) << notYet.output();
        EXPECT_NE(notYet.errors().find("no window named /^inner$/ appeared within 0.5 s"), std::string::npos)
            << notYet.errors();
    }
    WaiterProcess waiter({"mapped", "--name", "^inner$", "--ready", "--timeout", "20"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    Map(host);
    ASSERT_EQ(waiter.Finish(), 0) << waiter.errors();
    EXPECT_EQ(waiter.output(), Hex(inner) + " 0 0 50 50 inner\n");
}

TEST_F(WindowWaiterTest, AWindowThatGetsItsNameAfterMappingIsReportedThen)
{
    WaiterProcess waiter({"mapped", "--name", "Morlent Delay - Track", "--ready", "--timeout", "20"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    const Window window = Make(root_, 0, 0, 64, 64, "Untitled");
    Map(window);
    XStoreName(display_, window, "Morlent Delay - Track 1");
    XSync(display_, False);
    ASSERT_EQ(waiter.Finish(), 0) << waiter.errors();
    EXPECT_EQ(waiter.output(), Hex(window) + " 0 0 64 64 Morlent Delay - Track 1\n");
}

TEST_F(WindowWaiterTest, AWindowAlreadyShownWhenItStartsIsReportedAtOnceEvenWithPainted)
{
    const Window window = Make(root_, 3, 4, 20, 20, "already");
    Map(window);
    WaiterProcess waiter({"mapped", "--name", "^already$", "--painted", "--timeout", "20"});
    ASSERT_EQ(waiter.Finish(), 0) << waiter.errors();
    EXPECT_EQ(waiter.output(), Hex(window) + " 3 4 20 20 already\n");
}

TEST_F(WindowWaiterTest, BothNameAndClassMustMatch)
{
    WaiterProcess waiter({"mapped", "--name", "^editor$", "--class", "^Right$", "--ready", "--timeout", "20"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    Map(Make(root_, 0, 0, 10, 10, "editor", "wrong", "Wrong"));
    const Window right = Make(root_, 20, 0, 10, 10, "editor", "right", "Right");
    Map(right);
    ASSERT_EQ(waiter.Finish(), 0) << waiter.errors();
    EXPECT_EQ(waiter.output(), Hex(right) + " 20 0 10 10 editor\n");
}

// --- mapped --painted: the window's content, not what was there before ---

TEST_F(WindowWaiterTest, AHalfDrawnWindowIsNotPainted)
{
    WaiterProcess waiter({"mapped", "--name", "^half$", "--painted", "--ready", "--timeout", "0.5"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    const Window window = Make(root_, 0, 0, 100, 40, "half");
    Map(window);
    Fill(window, 0, 0, 50, 40);
    Fill(window, 50, 0, 50, 39); // one row short of the whole
    EXPECT_EQ(waiter.Finish(), 1) << waiter.output();
    EXPECT_NE(waiter.errors().find("no painted window named /^half$/"), std::string::npos) << waiter.errors();
}

TEST_F(WindowWaiterTest, AWindowDrawnAllOverInPiecesIsPainted)
{
    WaiterProcess waiter({"mapped", "--name", "^pieces$", "--painted", "--ready", "--timeout", "20"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    const Window window = Make(root_, 10, 10, 100, 40, "pieces");
    Map(window);
    Fill(window, 0, 0, 60, 40);
    Fill(window, 40, 0, 60, 40);
    ASSERT_EQ(waiter.Finish(), 0) << waiter.errors();
    EXPECT_EQ(waiter.output(), Hex(window) + " 10 10 100 40 pieces\n");
}

TEST_F(WindowWaiterTest, DrawingInAWindowEmbeddedInsideCountsForTheHostWindow)
{
    WaiterProcess waiter({"mapped", "--name", "^host$", "--painted", "--ready", "--timeout", "20"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    const Window host = Make(root_, 0, 0, 100, 40, "host");
    const Window editor = Make(host, 50, 0, 50, 40);
    Map(editor);
    Map(host);
    Fill(host, 0, 0, 50, 40);
    Fill(editor, 0, 0, 50, 40);
    ASSERT_EQ(waiter.Finish(), 0) << waiter.errors();
    EXPECT_EQ(waiter.output(), Hex(host) + " 0 0 100 40 host\n");
}

TEST_F(WindowWaiterTest, DrawingBeforeAResizeDoesNotCountForTheWindowAsItNowIs)
{
    WaiterProcess waiter({"mapped", "--name", "^moved$", "--painted", "--ready", "--timeout", "0.5"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    const Window window = Make(root_, 0, 0, 40, 40, "moved");
    Map(window);
    Fill(window, 0, 0, 40, 20);
    XResizeWindow(display_, window, 40, 60);
    Fill(window, 0, 20, 40, 40); // the first 20 rows were drawn before the resize, so they are not
    EXPECT_EQ(waiter.Finish(), 1) << waiter.output();
}

// --- gone ---

TEST_F(WindowWaiterTest, GoneReportsAnUnmapAndADestruction)
{
    const Window unmapped = Make(root_, 0, 0, 10, 10);
    const Window destroyed = Make(root_, 0, 0, 10, 10);
    Map(unmapped);
    Map(destroyed);
    WaiterProcess first({"gone", Hex(unmapped), "--timeout", "20"});
    WaiterProcess second({"gone", Hex(destroyed), "--timeout", "20"});
    XUnmapWindow(display_, unmapped);
    XDestroyWindow(display_, destroyed);
    windows_.pop_back();
    XSync(display_, False);
    ASSERT_EQ(first.Finish(), 0) << first.errors();
    EXPECT_EQ(first.output(), Hex(unmapped) + " unmapped\n");
    ASSERT_EQ(second.Finish(), 0) << second.errors();
    EXPECT_EQ(second.output(), Hex(destroyed) + " destroyed\n");
}

TEST_F(WindowWaiterTest, GoneAnswersAtOnceForAWindowThatIsNotThereAndWaitsForOneThatStays)
{
    WaiterProcess missing({"gone", "0x7fffff", "--timeout", "20"});
    ASSERT_EQ(missing.Finish(), 0) << missing.errors();
    EXPECT_EQ(missing.output(), "0x7fffff destroyed\n");
    const Window stays = Make(root_, 0, 0, 10, 10);
    Map(stays);
    WaiterProcess waiter({"gone", Hex(stays), "--timeout", "0.5"});
    EXPECT_EQ(waiter.Finish(), 1);
    EXPECT_NE(waiter.errors().find("still mapped after 0.5 s"), std::string::npos) << waiter.errors();
}

// --- until: the command runs again only after a change of the window ---

TEST_F(WindowWaiterTest, UntilRunsTheCommandAgainAfterADrawingAndPrintsWhatItPrinted)
{
    const std::string flag = "/tmp/window-waiter-test-" + std::to_string(getpid());
    const Window window = Make(root_, 0, 0, 40, 40);
    Map(window);
    WaiterProcess waiter({"until", Hex(window), "--ready", "--timeout", "20", "--", "sh", "-c",
                          "test -e '" + flag + "' && echo seen"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    FILE* file = std::fopen(flag.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    Fill(window, 10, 10, 1, 1);
    const int status = waiter.Finish();
    std::remove(flag.c_str());
    ASSERT_EQ(status, 0) << waiter.errors();
    EXPECT_EQ(waiter.output(), "seen\n");
}

TEST_F(WindowWaiterTest, UntilDoesNotRunTheCommandAgainWhileNothingChanges)
{
    const std::string flag = "/tmp/window-waiter-test-still-" + std::to_string(getpid());
    const Window window = Make(root_, 0, 0, 40, 40);
    Map(window);
    WaiterProcess waiter({"until", Hex(window), "--ready", "--timeout", "0.5", "--", "sh", "-c",
                          "test -e '" + flag + "' && echo seen || { echo 'not yet'; exit 1; }"});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    FILE* file = std::fopen(flag.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    const int status = waiter.Finish();
    std::remove(flag.c_str());
    EXPECT_EQ(status, 1) << waiter.output();
    EXPECT_NE(waiter.errors().find("(1 runs, each after a change of " + Hex(window) + "); its last output:\nnot yet"),
              std::string::npos)
        << waiter.errors();
}

TEST_F(WindowWaiterTest, UntilCountsDrawingInWindowsInsideTheWatchedOne)
{
    const std::string flag = "/tmp/window-waiter-test-inner-" + std::to_string(getpid());
    const Window host = Make(root_, 0, 0, 40, 40);
    const Window inner = Make(host, 0, 0, 20, 20);
    Map(inner);
    Map(host);
    WaiterProcess waiter({"until", Hex(host), "--ready", "--timeout", "20", "--", "test", "-e", flag});
    ASSERT_EQ(waiter.FirstLine(), "ready");
    FILE* file = std::fopen(flag.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    Fill(inner, 0, 0, 1, 1);
    const int status = waiter.Finish();
    std::remove(flag.c_str());
    EXPECT_EQ(status, 0) << waiter.errors();
}

// --- arguments ---

TEST_F(WindowWaiterTest, RefusesWhatItCannotWaitFor)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"appeared"}, {"mapped"}, {"mapped", "--name", "("}, {"gone"}, {"gone", "window"},
             {"until", "0x1"}, {"mapped", "--name", "x", "--timeout", "0"}, {"gone", "0x1", "--painted"}}) {
        WaiterProcess waiter(arguments);
        EXPECT_EQ(waiter.Finish(), 2) << (arguments.empty() ? std::string("(none)") : arguments[0]);
        EXPECT_NE(waiter.errors().find("usage:"), std::string::npos);
    }
}

} // namespace
