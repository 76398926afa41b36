/* Requests that wait for something: reads for input reports, feature reports for the control
 * client, the client's takes for feature reports. */
#include "driver_state.h"

DeviceContext* contextOf(PDEVICE_OBJECT device) {
    return (DeviceContext*)((PHID_DEVICE_EXTENSION)device->DeviceExtension)->MiniDeviceExtension;
}

NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* ---- Requests that wait: queued with a cancel routine, taken back without it. ---- */

static VOID NTAPI cancelWaiting(PDEVICE_OBJECT device, PIRP irp) {
    KIRQL irql;
    (void)device;
    IoReleaseCancelSpinLock(irp->CancelIrql);
    KeAcquireSpinLock(&state.lock, &irql);
    RemoveEntryList(&irp->Tail.Overlay.ListEntry);
    KeReleaseSpinLock(&state.lock, irql);
    complete(irp, STATUS_CANCELLED, 0);
}

/* With the lock held. False when the request was cancelled already: the caller completes it. */
BOOLEAN enqueueWaiting(LIST_ENTRY* list, PIRP irp) {
    IoSetCancelRoutine(irp, cancelWaiting);
    if (irp->Cancel && IoSetCancelRoutine(irp, NULL) != NULL)
        return FALSE;
    IoMarkIrpPending(irp);
    InsertTailList(list, &irp->Tail.Overlay.ListEntry);
    return TRUE;
}

/* With the lock held: the oldest request of `list` that is not being cancelled, or NULL. */
PIRP dequeueWaiting(LIST_ENTRY* list) {
    while (!IsListEmpty(list)) {
        LIST_ENTRY* entry = RemoveHeadList(list);
        PIRP irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
        if (IoSetCancelRoutine(irp, NULL) != NULL)
            return irp;
        /* Its cancel routine runs now and removes the entry: make that removal harmless. */
        InitializeListHead(entry);
    }
    return NULL;
}

/* With the lock held: moves every request of `from` into `into`, to be completed unlocked. */
void dequeueAll(LIST_ENTRY* from, LIST_ENTRY* into) {
    PIRP irp;
    while ((irp = dequeueWaiting(from)) != NULL)
        InsertTailList(into, &irp->Tail.Overlay.ListEntry);
}

void dequeueOfMouse(LIST_ENTRY* from, ULONG mouse, LIST_ENTRY* into) {
    LIST_ENTRY* entry = from->Flink;
    while (entry != from) {
        PIRP irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
        entry = entry->Flink;
        if (featureMouseOf(irp) == mouse && IoSetCancelRoutine(irp, NULL) != NULL) {
            RemoveEntryList(&irp->Tail.Overlay.ListEntry);
            InsertTailList(into, &irp->Tail.Overlay.ListEntry);
        }
    }
}

void completeAll(LIST_ENTRY* list, NTSTATUS status) {
    while (!IsListEmpty(list)) {
        PIRP irp = CONTAINING_RECORD(RemoveHeadList(list), IRP, Tail.Overlay.ListEntry);
        complete(irp, status, 0);
    }
}

ULONG featureIdOf(PIRP irp) {
    return (ULONG)(ULONG_PTR)irp->Tail.Overlay.DriverContext[0];
}

ULONG featureMouseOf(PIRP irp) {
    return (ULONG)(ULONG_PTR)irp->Tail.Overlay.DriverContext[1];
}

/* With the lock held: hands the oldest waiting feature report to a waiting take, if there are
 * both. The take is returned to be completed unlocked. */
PIRP matchFeatureWithTake(void) {
    PIRP take;
    PIRP report;
    PHID_XFER_PACKET packet;
    V270FeatureHeader* header;
    if (IsListEmpty(&state.waitingFeatures) || IsListEmpty(&state.pendingTakes))
        return NULL;
    take = dequeueWaiting(&state.pendingTakes);
    if (take == NULL)
        return NULL;
    report = dequeueWaiting(&state.waitingFeatures);
    if (report == NULL) {
        /* Cancelled meanwhile: the take goes back to wait. */
        if (!enqueueWaiting(&state.pendingTakes, take))
            return take;
        return NULL;
    }
    packet = (PHID_XFER_PACKET)report->UserBuffer;
    header = (V270FeatureHeader*)take->AssociatedIrp.SystemBuffer;
    header->id = featureIdOf(report);
    header->length = packet->reportBufferLen;
    header->mouse = featureMouseOf(report);
    RtlCopyMemory(header + 1, packet->reportBuffer, packet->reportBufferLen);
    take->IoStatus.Information = sizeof *header + packet->reportBufferLen;
    IoSetCancelRoutine(report, cancelWaiting);
    InsertTailList(&state.takenFeatures, &report->Tail.Overlay.ListEntry);
    return take;
}

void completeTake(PIRP take) {
    if (take != NULL) {
        take->IoStatus.Status = take->IoStatus.Information != 0 ? STATUS_SUCCESS : STATUS_CANCELLED;
        IoCompleteRequest(take, IO_NO_INCREMENT);
    }
}
