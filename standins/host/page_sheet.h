/* The page in the platform's property sheet: one modeless sheet for the chosen printer, the
 * host's "Generale" page beside Binpanel's. The sheet's page record is filled from the
 * descriptor the library filled, and the sheet's notifications reach the page as the host's
 * private messages. Used by PrintAdmin and by the tests that drive the sheet. */
#ifndef PAGE_SHEET_H
#define PAGE_SHEET_H

#include <windows.h>
#include <commctrl.h>
#include "page_descriptor.h"

#define SHEET_GENERAL_INDEX 0
#define SHEET_APPLET_INDEX 1
#define SHEET_APPLY_BUTTON 0x3021 /* the sheet's Applica; OK, Annulla and the Help button are IDOK, IDCANCEL, IDHELP */

/* Binpanel's page record for the sheet, field by field from the descriptor; `procedure` is
 * the one the sheet calls, which hands every message on to the descriptor's. */
void SheetPageFromDescriptor(const PageDescriptor &descriptor, DLGPROC procedure, PROPSHEETPAGEA *page);

/* Opens the sheet over `owner` with Binpanel's page on show; NULL when the sheet or the page
 * cannot be made. `generalText` fills the "Generale" page. One sheet at a time. */
HWND OpenPageSheet(HWND owner, const char *printerName, const char *generalText, const PageDescriptor &descriptor);

HWND PageSheet(void);  /* the open sheet, NULL if none */
HWND SheetPage(void);  /* Binpanel's page in it, NULL if none */

/* The message loop's part: true when the sheet took the message. */
bool SheetTakesMessage(MSG *msg);
/* A sheet ended by OK, Annulla or its close box is destroyed; call after every message. */
void DestroyEndedSheet(void);

/* 1695: whether the page may be left; a page that does not answer is not held. */
bool PageMayBeLeft(void);
/* Closes the sheet as its Annulla would, once the page agrees to be left. */
bool ClosePageSheet(void);

/* What the sheet tells the program that shows it (defined there): the user's action that
 * is about to reach the page, each private message with its answer word and whether the
 * page handled it, and the end of the sheet. */
void OnSheetAction(const char *action);
void OnPageAnswered(UINT message, DWORD answer, bool handled);
void OnSheetClosed(void);

#endif
