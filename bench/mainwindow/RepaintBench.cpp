// A full repaint of the main window on each of its four pages, through the window's own paint
// path (offscreen platform), against 20 fills of an 800 x 634 image measured in the same
// iterations. The counter "ratio" is repaint time over the time of the 20 fills (target: at
// most 1), from the fastest iteration of each, which a busy machine disturbs least;
// "repaint_us" and "fills_us" are the means, and "cpu_ratio" compares the processor time of the
// whole process (helper threads included) spent on each.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>

#include "app/CorvaneDlg.h"
#include "app/PlatformServices.h"
#include "mainwindow/MainWindowIds.h"
#include "platform/SpawnLauncher.h"
#include "platform/simulator/ManualClock.h"
#include "platform/simulator/SimulatedKeyboard.h"
#include "skin/ResourceInit.h"

namespace
{
// The window on the simulated keyboard, shown, built once for every page's run.
class CRepaintRig
{
public:
    static CRepaintRig& Get()
    {
        static CRepaintRig rig;
        return rig;
    }

    void ShowPage(int nPage)
    {
        // A click on the page tab, as the pointer gives it, then the pointer leaves the window so
        // no control stays highlighted.
        const CControlBase* pTab = m_pDlg->FindControl(MainWindow::PageTabIds[nPage]);
        const CRect rc = pTab->GetRect();
        const LPARAM nPoint = MakeLParam(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
        m_pDlg->WindowProc(WM_MOUSEMOVE, 0, nPoint);
        m_pDlg->WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, nPoint);
        m_pDlg->WindowProc(WM_LBUTTONUP, 0, nPoint);
        m_pDlg->WindowProc(WM_MOUSEMOVE, 0, MakeLParam(5, 5));
        m_pDlg->WindowProc(WM_MOUSELEAVE, 0, 0);
        QApplication::processEvents();
    }

    CCorvaneDlg& Dlg() { return *m_pDlg; }

private:
    CRepaintRig()
    {
        CorvaneInitResources();
        m_pServices = std::make_unique<CPlatformServices>(
            CPlatformServices{m_folder.path().toStdString() + "/", m_keyboard, m_keyboard, m_clock, m_launcher});
        m_pDlg = std::make_unique<CCorvaneDlg>(*m_pServices);
        m_pDlg->Create();
        m_pDlg->show();
        QApplication::processEvents();
    }

    QTemporaryDir m_folder;
    CManualClock m_clock;
    CSimulatedKeyboard m_keyboard{m_clock};
    CSpawnLauncher m_launcher;
    std::unique_ptr<CPlatformServices> m_pServices;
    std::unique_ptr<CCorvaneDlg> m_pDlg;
};

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void BM_FullRepaintAgainstTwentyFills(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    CRepaintRig& rig = CRepaintRig::Get();
    rig.ShowPage(static_cast<int>(state.range(0)));
    QImage imgFilled(800, 634, QImage::Format_RGB32);
    double dRepaintSeconds = 0;
    double dFillSeconds = 0;
    double dRepaintCpu = 0;
    double dFillCpu = 0;
    double dFastestRepaint = 1e9;
    double dFastestFill = 1e9;
    QRgb rgbFill = 0xFF102030;
    for (auto _ : state)
    {
        const double dCpuStart = ProcessCpuSeconds();
        const Clock::time_point tStart = Clock::now();
        rig.Dlg().repaint();
        const Clock::time_point tPainted = Clock::now();
        const double dCpuPainted = ProcessCpuSeconds();
        for (int i = 0; i < 20; ++i)
        {
            imgFilled.fill(rgbFill ^= 0x00010101);
            benchmark::DoNotOptimize(imgFilled.constBits());
        }
        const Clock::time_point tFilled = Clock::now();
        const double dCpuFilled = ProcessCpuSeconds();
        const double dRepaint = std::chrono::duration<double>(tPainted - tStart).count();
        const double dFill = std::chrono::duration<double>(tFilled - tPainted).count();
        dRepaintSeconds += dRepaint;
        dFillSeconds += dFill;
        dFastestRepaint = std::min(dFastestRepaint, dRepaint);
        dFastestFill = std::min(dFastestFill, dFill);
        dRepaintCpu += dCpuPainted - dCpuStart;
        dFillCpu += dCpuFilled - dCpuPainted;
        state.SetIterationTime(dRepaint);
    }
    const double dIterations = static_cast<double>(state.iterations());
    state.counters["repaint_us"] = dRepaintSeconds / dIterations * 1e6;
    state.counters["fills_us"] = dFillSeconds / dIterations * 1e6;
    state.counters["ratio"] = dFastestRepaint / dFastestFill;
    state.counters["cpu_ratio"] = dFillCpu > 0 ? dRepaintCpu / dFillCpu : 0;
}
// Pages: 0 keys, 1 macros, 2 programmable keys, 3 lighting.
BENCHMARK(BM_FullRepaintAgainstTwentyFills)->DenseRange(0, 3)->UseManualTime()->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
