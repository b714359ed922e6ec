/* The page descriptor that AppletGetTabPages hands to the host. On 32-bit Windows it is
 * nine 32-bit words; on 64-bit Windows the words that carry a handle, a resource id or a
 * procedure are pointer-sized, so that the record keeps the shape of the platform's
 * property-sheet page record and the device handle sits where the page's lParam goes. */
#ifndef PAGE_DESCRIPTOR_H
#define PAGE_DESCRIPTOR_H

#include <windows.h>
#include <stddef.h>

typedef struct PageDescriptor {
    DWORD descriptorSize;
    DWORD flags;
    HINSTANCE instance;
    ULONG_PTR templateId;
    ULONG_PTR pageIconId;
    ULONG_PTR titleId;
    DLGPROC dialogProc;
    LPARAM deviceHandle; /* read back by the page from its initialisation parameter */
    DWORD lastWord;
} PageDescriptor;

#ifndef _WIN64
static_assert(sizeof(PageDescriptor) == 36, "PageDescriptor is nine 32-bit words");
static_assert(offsetof(PageDescriptor, instance) == 8, "instance");
static_assert(offsetof(PageDescriptor, templateId) == 12, "templateId");
static_assert(offsetof(PageDescriptor, dialogProc) == 24, "dialogProc");
static_assert(offsetof(PageDescriptor, deviceHandle) == 28, "deviceHandle");
static_assert(offsetof(PageDescriptor, lastWord) == 32, "lastWord");
#endif

/* The host's private page messages. The page takes the two notices as handled and
 * does nothing with them. */
#define PAGE_MSG_APPLY          (WM_USER + 666) /* 1690 */
#define PAGE_MSG_NOTICE         (WM_USER + 667) /* 1691 */
#define PAGE_MSG_APPLY_AGAIN    (WM_USER + 668) /* 1692 */
#define PAGE_MSG_HELP           (WM_USER + 669) /* 1693 */
#define PAGE_MSG_SECOND_NOTICE  (WM_USER + 670) /* 1694 */
#define PAGE_MSG_QUERY          (WM_USER + 671) /* 1695 */

#endif
