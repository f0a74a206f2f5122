#include "station/app/Station.h"

int main(int argc, char** argv) {
    return mw::RunStation(argc, argv);
}
