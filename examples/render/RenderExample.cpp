// Plays a transition between two BMP pictures and saves every frame of the run:
//   lumawipe-render-example FROM.bmp TO.bmp OPERATION OUT-DIR
// writes OUT-DIR/frame-0000.bmp, frame-0001.bmp, ... and prints one line per frame.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "engine/Wipekit.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: lumawipe-render-example FROM.bmp TO.bmp OPERATION OUT-DIR\n";
        return 2;
    }
    try {
        Toolkit::TBitmap from, to;
        from.LoadFromFile(argv[1]);
        to.LoadFromFile(argv[2]);
        Wipekit::TTransitionOperation operation{};
        if (!Wipekit::FromName(argv[3], operation)) throw std::invalid_argument(std::string("no operation ") + argv[3]);
        const std::filesystem::path out = argv[4];
        std::filesystem::create_directories(out);

        // A component without an owner or window: its frames are drawn into WorkBitmap.
        Wipekit::TLumawipe wipe(nullptr);
        wipe.SetBounds(0, 0, from.Width(), from.Height());
        wipe.SetFromBitmap(from);
        wipe.SetToBitmap(to);
        wipe.SetOperation(operation);
        bool done = false;
        wipe.OnDone = [&](Toolkit::TObject*) { done = true; };

        // The run, tick by tick, as the component's timer would play it.
        wipe.Play();
        for (int tick = 0; !done; ++tick) {
            wipe.AdvanceFrame(nullptr);
            char name[32];
            std::snprintf(name, sizeof name, "frame-%04d.bmp", tick);
            wipe.WorkBitmap().SaveToFile((out / name).string());
            std::cout << "frame " << wipe.CurrentFrame() << (done ? ": finished" : ": running") << '\n';
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "lumawipe-render-example: " << e.what() << '\n';
        return 1;
    }
}
