#include "app/PlayerApp.h"

int main(int argc, char **argv)
{
    // The control window repaints a few small displays several times a second. Through X
    // shared memory each flush waits on the server for the previous one; plain requests
    // cost about a third less of an idle core. The picture is drawn by OpenGL either way.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    PlayerApp app(argc, argv);
    return app.initInstance();
}
