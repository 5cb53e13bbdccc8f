// Times LoadPicture up to the painted preview and measures the private memory
// of a picture shown in both windows. Run by hand: bench/program/run.sh.
#include "browser/Unit1.h"
#include "fullscreen/Unit2.h"
#include "shell/ShellRegistration.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

// Wine reports no private-memory counter: the run script reads the
// process's resident anonymous memory from outside while it waits here.
void Checkpoint(const char* name) {
    std::printf("checkpoint %s\n", name);
    std::fflush(stdout);
    Sleep(1500);
}

double Seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: load_bench PICTURE [RUNS]\n");
        return 2;
    }
    std::string picture = argv[1];
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    toolkit::SetDialogHook([](toolkit::DialogRecord& box) {
        std::fprintf(stderr, "box: %s\n", box.text.c_str());
        return static_cast<int>(toolkit::mrOk);
    });
    auto form1 = std::make_unique<browser::TForm1>();
    browser::Form1 = form1.get();
    auto form2 = std::make_unique<fullscreen::TForm2>();
    fullscreen::Form2 = form2.get();
    form1->Show();
    toolkit::Application().ProcessMessages();

    form1->LoadPicture("HARD.RES");
    toolkit::Application().ProcessMessages();
    Checkpoint("before");
    double best = 1e9, total = 0;
    for (int i = 0; i < runs; ++i) {
        form1->LoadPicture("HARD.RES"); // another path, so that the next load reads
        double start = Seconds();
        form1->LoadPicture(picture);
        UpdateWindow(form1->Handle());
        form1->PMultiImage1->Update();
        double elapsed = Seconds() - start;
        best = std::min(best, elapsed);
        total += elapsed;
    }
    form1->ButtonVollbild->Click(); // shown in both windows
    form2->PMultiImage1->Update();
    toolkit::Application().ProcessMessages();
    Checkpoint("after");
    int w = form1->PMultiImage1->InfoWidth, h = form1->PMultiImage1->InfoHeight;
    double pixelCopy = 3.0 * w * h;
    std::printf("picture %dx%d\n", w, h);
    std::printf("LoadPicture to painted preview: best %.3f s, mean %.3f s over %d runs\n", best,
                total / runs, runs);
    std::printf("one 24-bit copy: %.1f MiB; budget copy + 16 MiB: %.1f MiB\n",
                pixelCopy / 1048576.0, pixelCopy / 1048576.0 + 16);
    std::printf("same bitmap in both windows: %s\n",
                form1->PMultiImage1->Picture().Bitmap() &&
                        form2->PMultiImage1->Picture().Bitmap() &&
                        form1->PMultiImage1->Picture().Bitmap()->Handle() ==
                            form2->PMultiImage1->Picture().Bitmap()->Handle()
                    ? "yes"
                    : "no");
    std::fflush(stdout);
    return 0;
}
