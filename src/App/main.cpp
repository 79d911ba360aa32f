#include "App/OrvanaApp.h"

int main(int argc, char** argv) {
    return orvana::OrvanaApp::run(argc, argv);
}
