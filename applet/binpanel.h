/* Binpanel's module-wide state and the procedures its files share. Everything runs on
 * the host's user-interface thread; one page or stand-alone dialog at a time owns the
 * settings model. */
#ifndef BINPANEL_H
#define BINPANEL_H

#include <windows.h>
#include "devobj.h"
#include "settings_rules.h"

#define HCO_BIN_COUNT 8
#define DESTINATION_ROWS 10

typedef struct HcoBin {
    char name[BIN_NAME_BYTES];
    DWORD nameChanged;
    DWORD binNumber;
} HcoBin;

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

/* settings_load.cpp */
DWORD LoadHcoSettings(HWND dialog, LPARAM initParam);
bool ReadHcoConfig(HcoConfigRecord *config);
void LoadBinName(HcoBin *bin, UINT stringId, int bufferChars);

/* dialog_controls.cpp */
void EnableControl(HWND dialog, int controlId, BOOL enable);
void ShowPictureOf(HWND dialog, int bitmapId);
void AnnounceBinSelection(HWND dialog, HWND list); /* the list box's own selection notification */
void SelectBinRow(HWND dialog, HWND list, int row); /* scrolls to the row, selects and announces it */

/* page_population.cpp */
DWORD PopulatePage(HWND dialog);
void FillDestinationList(void);
void SetControlIcon(HWND dialog, int controlId, int iconId);

/* page_commands.cpp */
void OnControlCommand(HWND dialog, int controlId, HWND control, UINT code);

/* mode_change.cpp */
DWORD ChangeHcoMode(HWND dialog, DWORD targetMode);

/* wait_dialog.cpp */
extern "C" INT_PTR WINAPI WaitDialogExProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WaitDialogTick(HWND dialog, INT_PTR result);

/* settings_apply.cpp */
void ApplyHcoSettings(void);

#endif
