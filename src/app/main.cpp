#include "ui/tamblin_app.h"

int main(int argc, char *argv[])
{
    CTamblinApp app(argc, argv);
    return app.InitInstance();
}
