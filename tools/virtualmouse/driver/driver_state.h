/* What the parts of the virtual mouse driver share: the driver's state, under one lock, and the
 * queues in which requests wait. */
#ifndef V270_DRIVER_STATE_H
#define V270_DRIVER_STATE_H

#include "hid_minidriver.h"

#include "virtual_mouse_control.h"

#define POOL_TAG 0x6D303732 /* '270m' */
#define VERSION_NUMBER 0x0100
#define QUEUED_INPUT_REPORTS 32

enum { KIND_INPUT = 0, KIND_FEATURE = 1, KIND_COUNT = 2 };

/* The minidriver's part of each HID device's extension. */
typedef struct DeviceContext {
    int kind;
    ULONG mouse;
    BOOLEAN started;
    USHORT descriptorLength;
    UCHAR descriptor[32];
} DeviceContext;

/* One input report waiting for a read. */
typedef struct QueuedReport {
    ULONG length;
    UCHAR* bytes;
} QueuedReport;

/* One mouse: its two devices, the reads waiting on them and its input reports waiting for a
 * read. */
typedef struct VirtualMouse {
    DeviceContext* present[KIND_COUNT];
    LIST_ENTRY pendingReads[KIND_COUNT];
    QueuedReport queued[QUEUED_INPUT_REPORTS];
    ULONG queuedHead;
    ULONG queuedCount;
} VirtualMouse;

/* Everything the driver keeps, under one lock. Requests wait in lists through their
 * Tail.Overlay.ListEntry; a feature report's id is kept in its DriverContext[0], the number of
 * its mouse in DriverContext[1]. */
typedef struct DriverState {
    KSPIN_LOCK lock;
    PDRIVER_DISPATCH classDispatch[IRP_MJ_MAXIMUM_FUNCTION + 1];
    PDEVICE_OBJECT control;
    VirtualMouse mice[V270_VMOUSE_MICE];
    LIST_ENTRY waitingFeatures; /* sent, not yet taken by the control client */
    LIST_ENTRY takenFeatures;   /* taken, not yet answered */
    LIST_ENTRY pendingTakes;    /* the control client's requests for the next report */
    ULONG nextFeatureId;
    V270Counters counters;
} DriverState;

extern DriverState state;

/* The minidriver's part of a HID device's extension. */
DeviceContext* contextOf(PDEVICE_OBJECT device);

/* Completes `irp` with `status` and `information`; returns `status`. */
NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information);

/* Requests that wait sit in lists with a cancel routine, and are taken back without it; all
 * with the lock held except completeAll and completeTake. */
BOOLEAN enqueueWaiting(LIST_ENTRY* list, PIRP irp);
PIRP dequeueWaiting(LIST_ENTRY* list);
void dequeueAll(LIST_ENTRY* from, LIST_ENTRY* into);
/* Moves the feature reports of `mouse` only. */
void dequeueOfMouse(LIST_ENTRY* from, ULONG mouse, LIST_ENTRY* into);
void completeAll(LIST_ENTRY* list, NTSTATUS status);
ULONG featureIdOf(PIRP irp);
ULONG featureMouseOf(PIRP irp);
PIRP matchFeatureWithTake(void);
void completeTake(PIRP take);

USHORT buildDescriptor(UCHAR* out, USHORT usagePage, UCHAR reportId, UCHAR mainItem, USHORT length);
NTSTATUS NTAPI dispatchHidRequest(PDEVICE_OBJECT device, PIRP irp);
NTSTATUS dispatchControl(PIRP irp);

#endif
