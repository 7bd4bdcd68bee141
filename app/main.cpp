#include "platform/gui/Application.h"

int main(int argc, char **argv)
{
    Application app(argc, argv);
    app.SetTitle(QStringLiteral("Tallowmere, 1.1"));
    return 0;
}
