// The drawing layer's per-frame costs on a full 480 x 640 screen (scale 2): a clear, a
// frame of random lines, a frame of text and a full-screen transparent blit.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/window.h"

namespace {

using namespace platform;

struct Screen {
    Window window;
    Dc dc;
    int width;
    int height;
    Screen() {
        ResetWindows();
        SetScreenGeometry(2, 0, 0);
        width = ScreenWidth();
        height = ScreenHeight();
        WindowSpec desc;
        desc.rect = Rect{0, 0, width, height};
        window = CreateWindow(desc);
        dc = GetWindowDc(window);
    }
    ~Screen() {
        ReleaseDc(window, dc);
        ResetWindows();
    }
};

void FullScreenFill(benchmark::State& state) {
    Screen s;
    GfxObject brush = MakeBrush(Rgb(10, 20, 200));
    for (auto _ : state) FillRect(s.dc, Rect{0, 0, s.width, s.height}, brush);
    DeleteObject(brush);
}
BENCHMARK(FullScreenFill)->Unit(benchmark::kMicrosecond);

void TenThousandLines(benchmark::State& state) {
    Screen s;
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> x(0, s.width - 1), y(0, s.height - 1);
    std::vector<Point> ends(20000);
    for (Point& p : ends) p = Point{x(rng), y(rng)};
    GfxObject pen = MakePen(PenStyle::Solid, 1, Rgb(255, 255, 0));
    GfxObject old = SelectObject(s.dc, pen);
    for (auto _ : state)
        for (int i = 0; i < 10000; ++i) {
            MoveTo(s.dc, ends[2 * i].x, ends[2 * i].y, nullptr);
            LineTo(s.dc, ends[2 * i + 1].x, ends[2 * i + 1].y);
        }
    SelectObject(s.dc, old);
    DeleteObject(pen);
}
BENCHMARK(TenThousandLines)->Unit(benchmark::kMillisecond);

void ThousandStrings(benchmark::State& state) {
    Screen s;
    FontSpec desc;
    desc.height = -24;
    GfxObject font = MakeFont(desc);
    GfxObject old = SelectObject(s.dc, font);
    SetBackMode(s.dc, BackMode::Transparent);
    const std::string text = "NGC 7000 \x95 mag 4.0 12\xB0";
    for (auto _ : state)
        for (int i = 0; i < 1000; ++i) TextOut(s.dc, (i * 37) % s.width, (i * 53) % s.height, text);
    SelectObject(s.dc, old);
    DeleteObject(font);
}
BENCHMARK(ThousandStrings)->Unit(benchmark::kMillisecond);

void FullScreenTransparentBlit(benchmark::State& state) {
    Screen s;
    Dc source = MakeMemoryDc(s.dc);
    GfxObject bitmap = MakeBitmap(s.width, s.height);
    GfxObject old = SelectObject(source, bitmap);
    GfxObject brush = MakeBrush(Rgb(200, 0, 0));
    for (int y = 0; y < s.height; y += 8) FillRect(source, Rect{0, y, s.width, y + 4}, brush);
    for (auto _ : state)
        TransparentBlit(s.dc, 0, 0, s.width, s.height, source, 0, 0, s.width, s.height, Rgb(0, 0, 0));
    DeleteObject(brush);
    SelectObject(source, old);
    DeleteObject(bitmap);
    DeleteDc(source);
}
BENCHMARK(FullScreenTransparentBlit)->Unit(benchmark::kMicrosecond);

}  // namespace
