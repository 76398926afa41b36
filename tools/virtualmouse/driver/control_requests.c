/* The control device, through which a test tool plays the mouse. */
#include "driver_state.h"

static NTSTATUS pushInput(PIRP irp, ULONG length) {
    const V270InputHeader* header = (const V270InputHeader*)irp->AssociatedIrp.SystemBuffer;
    const UCHAR* source = (const UCHAR*)(header + 1);
    VirtualMouse* mouse;
    UCHAR* bytes;
    PIRP read;
    KIRQL irql;
    ULONG capacity;
    if (length <= sizeof *header || length - sizeof *header > V270_VMOUSE_MAX_REPORT_LENGTH ||
        header->mouse >= V270_VMOUSE_MICE)
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    length -= sizeof *header;
    mouse = &state.mice[header->mouse];
    KeAcquireSpinLock(&state.lock, &irql);
    if (mouse->present[KIND_INPUT] == NULL) {
        KeReleaseSpinLock(&state.lock, irql);
        return complete(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
    }
    ++state.counters.inputPushed;
    read = dequeueWaiting(&mouse->pendingReads[KIND_INPUT]);
    if (read != NULL) {
        ++state.counters.inputDelivered;
        KeReleaseSpinLock(&state.lock, irql);
        capacity =
            IoGetCurrentIrpStackLocation(read)->Parameters.DeviceIoControl.OutputBufferLength;
        if (length < capacity)
            capacity = length;
        RtlCopyMemory(read->UserBuffer, source, capacity);
        complete(read, STATUS_SUCCESS, capacity);
        return complete(irp, STATUS_SUCCESS, 0);
    }
    KeReleaseSpinLock(&state.lock, irql);

    /* No read waits: the report waits for one, as the device's own buffer would keep it. */
    bytes = (UCHAR*)ExAllocatePoolWithTag(NonPagedPool, length, POOL_TAG);
    if (bytes == NULL)
        return complete(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
    RtlCopyMemory(bytes, source, length);
    KeAcquireSpinLock(&state.lock, &irql);
    if (mouse->queuedCount == QUEUED_INPUT_REPORTS) {
        ExFreePoolWithTag(mouse->queued[mouse->queuedHead].bytes, POOL_TAG);
        mouse->queuedHead = (mouse->queuedHead + 1) % QUEUED_INPUT_REPORTS;
        --mouse->queuedCount;
        ++state.counters.inputDropped;
    }
    {
        ULONG slot = (mouse->queuedHead + mouse->queuedCount) % QUEUED_INPUT_REPORTS;
        mouse->queued[slot].bytes = bytes;
        mouse->queued[slot].length = length;
        ++mouse->queuedCount;
    }
    KeReleaseSpinLock(&state.lock, irql);
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS takeFeature(PIRP irp, ULONG capacity) {
    PIRP take;
    KIRQL irql;
    if (capacity < sizeof(V270FeatureHeader) + V270_VMOUSE_MAX_REPORT_LENGTH)
        return complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
    irp->IoStatus.Information = 0;
    KeAcquireSpinLock(&state.lock, &irql);
    if (!enqueueWaiting(&state.pendingTakes, irp)) {
        KeReleaseSpinLock(&state.lock, irql);
        return complete(irp, STATUS_CANCELLED, 0);
    }
    take = matchFeatureWithTake();
    KeReleaseSpinLock(&state.lock, irql);
    completeTake(take);
    return STATUS_PENDING;
}

static NTSTATUS answerFeature(PIRP irp, ULONG length) {
    const V270FeatureAnswer* answer = (const V270FeatureAnswer*)irp->AssociatedIrp.SystemBuffer;
    PIRP report = NULL;
    LIST_ENTRY* entry;
    KIRQL irql;
    if (length < sizeof *answer)
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    KeAcquireSpinLock(&state.lock, &irql);
    for (entry = state.takenFeatures.Flink; entry != &state.takenFeatures; entry = entry->Flink) {
        PIRP candidate = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
        if (featureIdOf(candidate) == answer->id && IoSetCancelRoutine(candidate, NULL) != NULL) {
            RemoveEntryList(entry);
            report = candidate;
            break;
        }
    }
    if (report != NULL) {
        if (answer->accepted)
            ++state.counters.featureAccepted;
        else
            ++state.counters.featureRefused;
    }
    KeReleaseSpinLock(&state.lock, irql);
    if (report == NULL) /* the device went, or the sender gave up */
        return complete(irp, STATUS_NOT_FOUND, 0);
    if (answer->accepted)
        complete(report, STATUS_SUCCESS, ((PHID_XFER_PACKET)report->UserBuffer)->reportBufferLen);
    else
        complete(report, STATUS_UNSUCCESSFUL, 0);
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS setLengths(PIRP irp, ULONG length) {
    const V270Lengths* lengths = (const V270Lengths*)irp->AssociatedIrp.SystemBuffer;
    KIRQL irql;
    if (length < sizeof *lengths)
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    KeAcquireSpinLock(&state.lock, &irql);
    state.counters.lengths = *lengths;
    KeReleaseSpinLock(&state.lock, irql);
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS readCounters(PIRP irp, ULONG capacity) {
    KIRQL irql;
    LIST_ENTRY* entry;
    ULONG mouse;
    if (capacity < sizeof(V270Counters))
        return complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
    KeAcquireSpinLock(&state.lock, &irql);
    state.counters.readsPending = 0;
    for (mouse = 0; mouse < V270_VMOUSE_MICE; ++mouse) {
        LIST_ENTRY* reads = &state.mice[mouse].pendingReads[KIND_INPUT];
        for (entry = reads->Flink; entry != reads; entry = entry->Flink)
            ++state.counters.readsPending;
    }
    RtlCopyMemory(irp->AssociatedIrp.SystemBuffer, &state.counters, sizeof(V270Counters));
    KeReleaseSpinLock(&state.lock, irql);
    return complete(irp, STATUS_SUCCESS, sizeof(V270Counters));
}

/* A control client's handle closed: its takes end, and once no client is left, what was taken
 * and never answered, and what waits to be taken, is accepted, so that no sender waits for a
 * client that is gone. */
static void releaseClient(PFILE_OBJECT file) {
    LIST_ENTRY takes;
    LIST_ENTRY reports;
    LIST_ENTRY* entry;
    KIRQL irql;
    InitializeListHead(&takes);
    InitializeListHead(&reports);
    KeAcquireSpinLock(&state.lock, &irql);
    for (entry = state.pendingTakes.Flink; entry != &state.pendingTakes;) {
        PIRP take = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
        entry = entry->Flink;
        if (IoGetCurrentIrpStackLocation(take)->FileObject == file &&
            IoSetCancelRoutine(take, NULL) != NULL) {
            RemoveEntryList(&take->Tail.Overlay.ListEntry);
            InsertTailList(&takes, &take->Tail.Overlay.ListEntry);
        }
    }
    if (state.counters.controlClients > 0)
        --state.counters.controlClients;
    if (state.counters.controlClients == 0) {
        dequeueAll(&state.waitingFeatures, &reports);
        dequeueAll(&state.takenFeatures, &reports);
    }
    KeReleaseSpinLock(&state.lock, irql);
    completeAll(&takes, STATUS_CANCELLED);
    while (!IsListEmpty(&reports)) {
        PIRP irp = CONTAINING_RECORD(RemoveHeadList(&reports), IRP, Tail.Overlay.ListEntry);
        KeAcquireSpinLock(&state.lock, &irql);
        ++state.counters.featureUnobserved;
        KeReleaseSpinLock(&state.lock, irql);
        complete(irp, STATUS_SUCCESS, ((PHID_XFER_PACKET)irp->UserBuffer)->reportBufferLen);
    }
}

NTSTATUS dispatchControl(PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    KIRQL irql;
    switch (stack->MajorFunction) {
        case IRP_MJ_CREATE:
            KeAcquireSpinLock(&state.lock, &irql);
            ++state.counters.controlClients;
            KeReleaseSpinLock(&state.lock, irql);
            return complete(irp, STATUS_SUCCESS, 0);
        case IRP_MJ_CLEANUP:
            releaseClient(stack->FileObject);
            return complete(irp, STATUS_SUCCESS, 0);
        case IRP_MJ_CLOSE:
            return complete(irp, STATUS_SUCCESS, 0);
        case IRP_MJ_DEVICE_CONTROL:
            break;
        default:
            return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    }
    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
        case IOCTL_V270_PUSH_INPUT:
            return pushInput(irp, stack->Parameters.DeviceIoControl.InputBufferLength);
        case IOCTL_V270_TAKE_FEATURE:
            return takeFeature(irp, stack->Parameters.DeviceIoControl.OutputBufferLength);
        case IOCTL_V270_ANSWER_FEATURE:
            return answerFeature(irp, stack->Parameters.DeviceIoControl.InputBufferLength);
        case IOCTL_V270_SET_LENGTHS:
            return setLengths(irp, stack->Parameters.DeviceIoControl.InputBufferLength);
        case IOCTL_V270_COUNTERS:
            return readCounters(irp, stack->Parameters.DeviceIoControl.OutputBufferLength);
        default:
            return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    }
}
