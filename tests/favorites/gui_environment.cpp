// What the GUI suites need before anything starts: a quiet and predictable GTK and WebKit on the virtual display,
// and LeakSanitizer told which libraries keep allocations to the end of the process (type caches, fonts, the
// accessibility bridge, the JavaScript engine). Suppressed by library, so that leaks in our own code still show.
// Set here rather than in the test's environment, so that the suites behave the same run by ctest or by hand.
#include <cstdlib>

extern "C" const char *__lsan_default_suppressions() {
    return "leak:libgtk-3.so\n"
           "leak:libgdk-3.so\n"
           "leak:libwebkit2gtk-4.0.so\n"
           "leak:libjavascriptcoregtk-4.0.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libgio-2.0.so\n"
           "leak:libfontconfig.so\n"
           "leak:libfreetype.so\n"
           "leak:libpango-1.0.so\n"
           "leak:libpangoft2-1.0.so\n"
           "leak:libpangocairo-1.0.so\n"
           "leak:libharfbuzz.so\n"
           "leak:libcairo.so\n"
           "leak:libatk-1.0.so\n"
           "leak:libatk-bridge-2.0.so\n"
           "leak:libatspi.so\n"
           "leak:libdbus-1.so\n"
           "leak:libX11.so\n"
           "leak:libxkbcommon.so\n"
           "leak:libepoxy.so\n"
           "leak:libEGL\n"
           "leak:libGLX\n"
           "leak:libGL.so\n"
           "leak:libgstreamer-1.0.so\n"
           "leak:libsoup-2.4.so\n"
           "leak:libgdk_pixbuf-2.0.so\n"
           "leak:librsvg-2.so\n";
}

namespace {

const bool ENVIRONMENT_SET = [] {
    setenv("NO_AT_BRIDGE", "1", 0);
    setenv("GDK_BACKEND", "x11", 0);
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    return true;
}();

} // namespace
