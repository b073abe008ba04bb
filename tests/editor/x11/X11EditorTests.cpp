// The delay editor on X11, opened in a host window and driven by real input.

#include "tests/editor/x11/X11EditorFixture.h"

namespace {

using namespace X11EditorTest;

class X11Editor : public X11EditorFixture {};

TEST_F(X11Editor, OpensInsideItsHostWindowAtItsSizeAndShowsItsFace)
{
    Open();
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(host->GetDisplay(), editor->GetWindow(), &root, &parent, &children, &count));
    if (children != nullptr)
        XFree(children);
    EXPECT_EQ(host->GetWindow(), parent);
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(host->GetDisplay(), editor->GetWindow(), &attributes));
    EXPECT_EQ(496, attributes.width);
    EXPECT_EQ(344, attributes.height);
    EXPECT_EQ(0, attributes.x);
    EXPECT_EQ(0, attributes.y);
    SaveScreenshot("x11-editor-default.png");
}

} // namespace
