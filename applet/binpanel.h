/* Binpanel's module-wide state and the procedures its files share. Everything runs on
 * the host's user-interface thread; one page or stand-alone dialog at a time owns the
 * settings model. */
#ifndef BINPANEL_H
#define BINPANEL_H

#include <windows.h>
#include "devobj.h"
#include "settings_rules.h"

#define DESTINATION_ROWS 10

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

/* device_access.cpp: the page's exchanges with the printer, each returning its status */
DWORD ReadAutoContinue(AutoContinueRecord *record);
DWORD ReadOutputCapabilities(OutputCapabilitiesRecord *record);
DWORD ReadComponentList(ComponentListRecord *record);
DWORD ReadOnlineState(OnlineStateRecord *record);
DWORD ReadPaperDestination(PaperDestinationRecord *record);
DWORD ReadHcoConfig(HcoConfigRecord *record);
DWORD WriteAutoContinue(AutoContinueRecord *record);
DWORD WriteOnlineState(OnlineStateRecord *record, DWORD request);
DWORD WritePowerCycle(void);
DWORD WritePaperDestination(PaperDestinationRecord *record);
DWORD WriteHcoConfig(HcoConfigRecord *record);

/* settings_load.cpp */
DWORD LoadHcoSettings(HWND dialog, LPARAM initParam);
void LoadBinName(HcoBin *bin, UINT stringId, int bufferChars);

/* dialog_controls.cpp */
void EnableControl(HWND dialog, int controlId, BOOL enable);
void ShowPictureOf(HWND dialog, int bitmapId);
void AnnounceBinSelection(HWND dialog, HWND list); /* the list box's own selection notification */
void SelectBinRow(HWND dialog, HWND list, int row); /* scrolls to the row, selects and announces it */
void ShowInNameEdit(HWND dialog, const char *text); /* all of it selected, the edit focused */

/* page_population.cpp */
DWORD PopulatePage(HWND dialog);
void FillDestinationList(void);
void SetControlIcon(HWND dialog, int controlId, int iconId);

/* page_commands.cpp */
void OnControlCommand(HWND dialog, int controlId, HWND control, UINT code);

/* mode_change.cpp */
void OnModeRadio(HWND dialog, int radio, DWORD target);
DWORD ChangeHcoMode(HWND dialog, DWORD targetMode);

/* wait_dialog.cpp */
extern "C" INT_PTR WINAPI WaitDialogExProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WaitDialogTick(HWND dialog, INT_PTR result);

/* settings_apply.cpp */
void ApplyHcoSettings(void);

#endif
