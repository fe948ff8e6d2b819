#include "app/corvalt_app.h"

int main(int argc, char* argv[])
{
    corvalt::CCorvaltApp app(argc, argv);
    return app.InitInstance();
}
