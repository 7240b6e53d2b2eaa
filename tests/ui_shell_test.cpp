// Opening files and web pages through the desktop.
#include "common/Shell.h"
#include "support/TestSupport.h"

using namespace zentuvo;
using namespace zentuvo::test;

TEST(ShellOpen, AddressesAndPathsGoToTheDesktopUnchangedAndBlanksNowhere) {
    FakeDesktop desktop;
    const QStringList targets{"https://h.example/?q=a'b;c&d=%20#x", "mailto:someone@example.org",
                              "/tmp/a'b;c $(id) & `x` 100% #1 ?.html"};
    for (const QString& target : targets)
        shellOpen(desktop, "Open", target);
    shellOpen(desktop, "Open", "   ");
    EXPECT_EQ(desktop.opened, targets);
}
