// The host's plug-in API: the device record the host passes to every xDevice call,
// and the nine VDX_ functions the host offers. The plug-in leaves the functions
// undefined; they are bound by name when the host loads it, so the host (or a test
// playing host) must export them.
//
// Calling contract:
// - VDX_GetState(rec): 0 while the record has no private data, 1 once it has.
// - VDX_InitData(rec, VDX_PRIVATE_TYPE, VDX_PRIVATE_VERSION, 0, 0): creates the
//   private data; only after VDX_GetState returned 0. 0 or a host error code.
// - VDX_SetData(rec, key, kind, 0, value): stores one setting. Kind VDX_KIND_INTEGER:
//   value is the integer itself. Kind VDX_KIND_TEXT: value is a pointer to a
//   NUL-terminated text, cast to intptr_t; the host copies it, so the caller's
//   buffer may be reused at once. 0 or a host error code.
// - VDX_GetData(rec, key, 0, 0, &out): 0 and, in out (an intptr_t), the integer of
//   an integer setting or a pointer to the host's copy of a text setting (cast it
//   back to const char*; read it, never free it). A host error code when the
//   setting is absent or the data cannot be read; out is then left alone.
// - VDX_GetDialogParent(): the widget every dialog is created under; its
//   application context runs the dialogs' event loops.
// - VDX_DispatchEvent(event): hands the host each event a modal loop fetched.
// - VDX_DevSuspend(rec) / VDX_DevResume(rec): bracket every modal dialog.
// - VDX_DevCheckAbort(rec): non-zero once the user asked to abort a long wait.
#ifndef TW_VENDALOXAPI_H
#define TW_VENDALOXAPI_H

#include <X11/Intrinsic.h>
#include <X11/Xlib.h>
#include <stddef.h>
#include <stdint.h>

// The record the host owns; host and plug-in share one address space, so its fields
// are in the machine's own byte order.
typedef struct DeviceRecord {
    uint32_t hostWord0;  // host-owned, never touched
    uint16_t command;    // command code under dsCommand
    int16_t mode;        // machine mode out; requested mode or shuttle speed in
    int32_t timeCode;    // frame count from 00:00:00:00
    int16_t timeFormat;  // 1 drop-frame, 0 non-drop
    int16_t timeRate;    // frames per second (0 on input means 30)
    int32_t features;    // feature word
    uint16_t hostHalf20; // host-owned, never touched
    int16_t preroll;     // preroll in seconds
    int64_t ust;         // UST of a video-clock sample
    int64_t msc;         // field number of the same sample
    uint32_t hostWord40; // host-owned; passed on unread by the insert-edit command
} DeviceRecord;

#ifdef __cplusplus
#define VDX_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define VDX_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif
VDX_STATIC_ASSERT(offsetof(DeviceRecord, hostWord0) == 0, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, command) == 4, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, mode) == 6, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, timeCode) == 8, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, timeFormat) == 12, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, timeRate) == 14, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, features) == 16, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, hostHalf20) == 20, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, preroll) == 22, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, ust) == 24, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, msc) == 32, "DeviceRecord layout");
VDX_STATIC_ASSERT(offsetof(DeviceRecord, hostWord40) == 40, "DeviceRecord layout");
VDX_STATIC_ASSERT(sizeof(DeviceRecord) == 48, "DeviceRecord layout");
#undef VDX_STATIC_ASSERT

// The plug-in's private data: four-character type 'PDev' and its version.
#define VDX_PRIVATE_TYPE 0x50446576u
#define VDX_PRIVATE_VERSION 0x10009u

// Kinds of a setting in the private data.
#define VDX_KIND_INTEGER 2
#define VDX_KIND_TEXT 4

#ifdef __cplusplus
extern "C" {
#endif

int32_t VDX_GetState(DeviceRecord* rec);
int32_t VDX_InitData(DeviceRecord* rec, uint32_t type, uint32_t version, int32_t reserved1,
                     int32_t reserved2);
int32_t VDX_SetData(DeviceRecord* rec, int32_t key, int32_t kind, int32_t reserved, intptr_t value);
int32_t VDX_GetData(DeviceRecord* rec, int32_t key, int32_t reserved1, int32_t reserved2,
                    intptr_t* out);
Widget VDX_GetDialogParent(void);
void VDX_DispatchEvent(XEvent* event);
void VDX_DevSuspend(DeviceRecord* rec);
void VDX_DevResume(DeviceRecord* rec);
int32_t VDX_DevCheckAbort(DeviceRecord* rec);

#ifdef __cplusplus
}
#endif

#endif
