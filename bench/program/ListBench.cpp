// Times reading a folder of many files into the file list and the type-ahead
// jump in the name box. Run by hand: bench/program/run.sh.
#include "browser/TypeAhead.h"
#include "browser/Unit1.h"
#include "fullscreen/Unit2.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

namespace {
double Milliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: list_bench FOLDER\n");
        return 2;
    }
    toolkit::SetDialogHook([](toolkit::DialogRecord&) { return static_cast<int>(toolkit::mrOk); });
    auto form1 = std::make_unique<browser::TForm1>();
    browser::Form1 = form1.get();
    form1->Show();
    toolkit::Application().ProcessMessages();
    std::string folder = argv[1];
    if (folder.back() != '\\')
        folder += '\\';
    double start = Milliseconds();
    form1->FileListBox1->ApplyPath(folder);
    form1->FileListBox1->SetItemIndex(0);
    form1->FileListBox1->Update();
    double listed = Milliseconds() - start;
    start = Milliseconds();
    form1->FileListBox1->Refill();
    double refilled = Milliseconds() - start;

    // A name typed into the name box: the jump to its entry. Each name's
    // best of five rounds (a round jumps between all of them), then the
    // slowest name.
    const char* names[] = {"F19999.BMP", "F10000.BMP", "F00042", "ZZZ", "F"};
    double best[std::size(names)];
    std::fill(std::begin(best), std::end(best), 1e9);
    for (int round = 0; round < 5; ++round)
        for (size_t i = 0; i < std::size(names); ++i) {
            form1->Edit1->Tag = 1;
            double t = Milliseconds();
            form1->Edit1->SetText(names[i]);
            form1->FileListBox1->Update();
            best[i] = std::min(best[i], Milliseconds() - t);
        }
    const double worst = *std::max_element(std::begin(best), std::end(best));
    std::printf("%d entries listed and selectable in %.0f ms (read again: %.0f ms); type-ahead "
                "jump at most %.2f ms\n",
                form1->FileListBox1->Count(), listed, refilled, worst);
    return 0;
}
