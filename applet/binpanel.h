/* Binpanel's module-wide state and the procedures its files share. Everything runs on
 * the host's user-interface thread; one page or stand-alone dialog at a time owns the
 * settings model. */
#ifndef BINPANEL_H
#define BINPANEL_H

#include <windows.h>
#include "devobj.h"
#include "settings_rules.h"

typedef struct DestinationChoice {
    LONG iconId;
    LONG binNumber;
} DestinationChoice;

typedef struct HcoSettings {
    HWND pageWindow;
    DeviceHandle deviceHandle;
    ComponentId componentId;
    DWORD mode;
    DWORD destinationAtLoad;
    DWORD timeoutIndex;
    DWORD timeoutChanged;
    HcoBin bins[HCO_BIN_COUNT];
    DestinationChoice destinations[DESTINATION_ROWS];
    DWORD destination;
    DWORD destinationChanged;
    char savedName[64];
    DWORD nameEditFocused;
    DWORD destinationReadOk; /* a destination read has succeeded since the page was initialised */
    PaperDestinationRecord paperDestinationBuffer;
} HcoSettings;

extern HINSTANCE g_instance;
extern HcoSettings g_settings;

/* The help file and its table of control ids and topics. */
extern const char HELP_FILE[];
extern const DWORD HelpIdTable[];

/* page_dialogs.cpp */
extern "C" INT_PTR WINAPI HCOSheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" INT_PTR WINAPI HCOPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" INT_PTR WINAPI HCOPopupDialog(HWND parent);

/* device_access.cpp: the page's exchanges with the printer, each returning its status.
 * Each goes to the printer and accessory component it is given: a mode change keeps its
 * own, whatever page takes the model over while it waits. */
#define NO_COMPONENT ((ComponentId)-1) /* the component list named no accessory */

typedef struct DeviceTarget {
    DeviceHandle device;
    ComponentId component;
} DeviceTarget;

DeviceTarget ModelTarget(void); /* the printer of the page that owns the model */
DWORD ReadAutoContinue(const DeviceTarget *target, AutoContinueRecord *record);
DWORD ReadOutputCapabilities(const DeviceTarget *target, OutputCapabilitiesRecord *record);
DWORD ReadComponentList(const DeviceTarget *target, ComponentListRecord *record);
DWORD ReadOnlineState(const DeviceTarget *target, OnlineStateRecord *record);
DWORD ReadPaperDestination(const DeviceTarget *target, PaperDestinationRecord *record);
DWORD ReadHcoConfig(const DeviceTarget *target, HcoConfigRecord *record);
DWORD WriteAutoContinue(const DeviceTarget *target, AutoContinueRecord *record);
DWORD WriteOnlineState(const DeviceTarget *target, OnlineStateRecord *record, DWORD request);
DWORD WritePowerCycle(const DeviceTarget *target);
DWORD WritePaperDestination(const DeviceTarget *target, PaperDestinationRecord *record);
DWORD WriteHcoConfig(const DeviceTarget *target, HcoConfigRecord *record);

/* settings_load.cpp */
DWORD LoadHcoSettings(HWND dialog, LPARAM initParam);
void LoadBinName(HcoBin *bin, UINT stringId, int bufferChars);

/* dialog_controls.cpp */
void EnableControl(HWND dialog, int controlId, BOOL enable);
void ShowPictureOf(HWND dialog, int bitmapId);
void AnnounceBinSelection(HWND dialog, HWND list); /* the list box's own selection notification */
void SelectBinRow(HWND dialog, HWND list, int row); /* scrolls to the row, selects and announces it */
void ShowInNameEdit(HWND dialog, const char *text); /* all of it selected, the edit focused */
void FocusControl(HWND dialog, int controlId);
/* The five mailbox controls, group, list, label, edit and picture, in that order. */
void EnableMailboxControls(HWND dialog, BOOL enable);

/* page_population.cpp */
DWORD PopulatePage(HWND dialog);
bool ReadDestination(const DeviceTarget *printer); /* the printer's destination into the model */
void FillDestinationList(void); /* the rows of the model's mode and names; no device call */
void SetControlIcon(HWND dialog, int controlId, int iconId);

/* page_commands.cpp */
void OnControlCommand(HWND dialog, int controlId, HWND control, UINT code);

/* mode_change.cpp */
/* A page whose mode change ended after another page had taken the model over: what is
 * done on it would land in the other page's settings, so it changes nothing more. */
extern HWND g_pageLeftBehind;
void OnModeRadio(HWND dialog, int radio, DWORD target);
DWORD ChangeHcoMode(HWND dialog, DWORD targetMode);

/* wait_dialog.cpp */
extern "C" INT_PTR WINAPI WaitDialogExProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WaitDialogTick(HWND dialog, INT_PTR result);

/* settings_apply.cpp */
void ApplyHcoSettings(void);

#endif
