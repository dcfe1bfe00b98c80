#include "app/PlayerApp.h"

int main(int argc, char **argv)
{
    PlayerApp app(argc, argv);
    return app.initInstance();
}
