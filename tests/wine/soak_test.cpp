/* Long use in one process: a thousand openings and closings of the page, two hundred mode
 * changes and a thousand applies. After a warm-up, the process's GDI objects and private
 * memory come back to where they stood, and the icon on show is never released. */
#include "page_fixture.h"

#define PSAPI_VERSION 2 /* GetProcessMemoryInfo from kernel32 */
#include <psapi.h>
#include <intrin.h>
#include <cstdio>

namespace {

/* Wine's GDI handle table, from the PEB: at +0xF8 on x64, at +0x94 on x86. */
const BYTE *GdiHandleTable()
{
#ifdef _WIN64
    const BYTE *peb = (const BYTE *)__readgsqword(0x60);
    return *(const BYTE *const *)(peb + 0xF8);
#else
    const BYTE *peb = (const BYTE *)__readfsdword(0x30);
    return *(const BYTE *const *)(peb + 0x94);
#endif
}

/* GetGuiResources is a stub under Wine: count the used entries of the process's GDI
 * handle table instead (0x10000 entries of 24 bytes on both, type at byte 14). */
int GdiObjectCount()
{
    const BYTE *table = GdiHandleTable();
    if (!table)
        return -1;
    int used = 0;
    for (int i = 0; i < 0x10000; i++)
        if (table[i * 24 + 14])
            used++;
    return used;
}

/* Committed private memory, summed over the address space: Wine answers 0 for the
 * PrivateUsage of GetProcessMemoryInfo, which is printed beside it. */
SIZE_T PrivateBytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const BYTE *at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = (const BYTE *)region.BaseAddress + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
    }
    return total;
}

SIZE_T PrivateUsage()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS *)&counters, sizeof counters);
    return counters.PrivateUsage;
}

const SIZE_T kPrivateTolerance = 256 * 1024;

struct Figures {
    int gdi;
    SIZE_T privateBytes;
    SIZE_T privateUsage;
};

Figures Measure()
{
    PumpMessages();
    return { GdiObjectCount(), PrivateBytes(), PrivateUsage() };
}

void Report(const char *phase, const Figures &f, const Figures &base, DWORD milliseconds)
{
    printf("soak: %-28s GDI objects %4d (%+d)  private %7zu KB (%+lld KB)  PrivateUsage %zu KB  %6lu ms\n",
           phase, f.gdi, f.gdi - base.gdi, f.privateBytes / 1024,
           ((long long)f.privateBytes - (long long)base.privateBytes) / 1024, f.privateUsage / 1024, milliseconds);
    fflush(stdout);
}

/* The destination icon on show is a live icon, not a released one. */
void ExpectLiveDestinationIcon(HWND page, const char *when)
{
    HICON icon = (HICON)SendDlgItemMessageA(page, IDC_DESTINATION_ICON, STM_GETICON, 0, 0);
    ASSERT_NE(nullptr, icon) << when;
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info)) << "the icon on show was released " << when;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

class Soak : public PageTest {
public:
    HWND OpenShown()
    {
        page = CreatePage(TestFrame(), 1);
        if (page) {
            ShowWindow(page, SW_SHOWNA);
            UpdateWindow(page);
        }
        return page;
    }
    void Close()
    {
        DestroyWindow(page);
        page = nullptr;
    }
    void Openings(int count)
    {
        for (int i = 0; i < count && !HasFatalFailure(); i++) {
            ASSERT_NE(nullptr, OpenShown()) << "opening " << i;
            Pick(IDC_DESTINATION_COMBO, i % 3); /* a new icon on show: the previous one goes */
            Close();
        }
    }
    void ModeChanges(int count)
    {
        ASSERT_NE(nullptr, OpenShown());
        for (int i = 0; i < count && !HasFatalFailure(); i++) {
            UiScript ui; /* answers OK and fast-forwards the wait */
            bool toStacker = Checked(IDC_MODE_MAILBOX);
            SendMessageA(Item(toStacker ? IDC_MODE_STACKER : IDC_MODE_MAILBOX), BM_CLICK, 0, 0);
            UpdateWindow(page);
            ASSERT_EQ(1, ui.waitDialogs) << "mode change " << i;
            ASSERT_TRUE(Checked(toStacker ? IDC_MODE_STACKER : IDC_MODE_MAILBOX)) << "mode change " << i;
        }
        Close();
    }
    void Applies(int count)
    {
        ASSERT_NE(nullptr, OpenShown());
        for (int i = 0; i < count && !HasFatalFailure(); i++) {
            Pick(IDC_TIMEOUT_COMBO, i % 8);
            Pick(IDC_BIN_LIST, i % 8);
            Type(i % 2 ? "Arc" : "Pos");
            Pick(IDC_DESTINATION_COMBO, i % 10);
            UpdateWindow(page);
            ASSERT_EQ(1u, Apply(i % 2 ? 1690 : 1692)) << "apply " << i;
        }
        ExpectLiveDestinationIcon(page, "after the applies");
        Close();
    }
};

TEST_F(Soak, ResourcesComeBackAfterLongUse)
{
    SimPrinterSpec printer = DefaultPrinter();
    printer.device = 1;
    UsePrinters({ printer });
    SimLogEnable(0);
    ShowWindow(TestFrame(), SW_SHOWNA);

    DWORD start = GetTickCount();
    Openings(20);
    ModeChanges(4);
    Applies(20);
    ASSERT_FALSE(HasFatalFailure());
    Figures base = Measure();
    Report("baseline after the warm-up", base, base, GetTickCount() - start);

    struct Phase {
        const char *name;
        void (Soak::*run)(int);
        int count;
    };
    const Phase phases[] = {
        { "1000 openings and closings", &Soak::Openings, 1000 },
        { "200 mode changes", &Soak::ModeChanges, 200 },
        { "1000 applies", &Soak::Applies, 1000 },
    };
    for (const Phase &p : phases) {
        DWORD began = GetTickCount();
        (this->*p.run)(p.count);
        ASSERT_FALSE(HasFatalFailure()) << p.name;
        Figures after = Measure();
        Report(p.name, after, base, GetTickCount() - began);
        EXPECT_LE(after.gdi, base.gdi) << "GDI objects left behind by " << p.name;
        EXPECT_LE(after.privateBytes, base.privateBytes + kPrivateTolerance)
            << "private memory kept by " << p.name << " (tolerance " << kPrivateTolerance / 1024 << " KB)";
    }
    ASSERT_NE(nullptr, OpenShown());
    ExpectLiveDestinationIcon(page, "on a page opened after the soak");
    Close();
    SimLogEnable(1);
}

} // namespace
