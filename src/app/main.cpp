#include "app/Startup.h"

int main(int argc, char** argv) { return contivo::RunContivo(argc, argv); }
