/* v270vmouse.sys: a HID minidriver that presents the V270 mouse's two vendor collections, each
 * on a root device of its own (VID_18F8&PID_0F99&MI_01&COL01 the input collection, ...&COL02
 * the feature collection), and a control device through which a test tool plays the mouse: it
 * pushes the input reports the mouse sends and answers the feature reports the program sends.
 * A test device only; nothing of it ships. */
#include "hid_minidriver.h"

#include "virtual_mouse_control.h"

#define POOL_TAG 0x6D303732 /* '270m' */
#define VERSION_NUMBER 0x0100
#define QUEUED_INPUT_REPORTS 32

enum { KIND_INPUT = 0, KIND_FEATURE = 1, KIND_COUNT = 2 };

/* The minidriver's part of each HID device's extension. */
typedef struct DeviceContext {
    int kind;
    BOOLEAN started;
    USHORT descriptorLength;
    UCHAR descriptor[32];
} DeviceContext;

/* One input report waiting for a read. */
typedef struct QueuedReport {
    ULONG length;
    UCHAR *bytes;
} QueuedReport;

/* Everything the driver keeps, under one lock. Requests wait in lists through their
 * Tail.Overlay.ListEntry; a feature report's id is kept in its DriverContext[0]. */
static struct {
    KSPIN_LOCK lock;
    PDRIVER_DISPATCH classDispatch[IRP_MJ_MAXIMUM_FUNCTION + 1];
    PDEVICE_OBJECT control;
    DeviceContext *present[KIND_COUNT];
    LIST_ENTRY pendingReads[KIND_COUNT];
    LIST_ENTRY waitingFeatures; /* sent, not yet taken by the control client */
    LIST_ENTRY takenFeatures;   /* taken, not yet answered */
    LIST_ENTRY pendingTakes;    /* the control client's requests for the next report */
    QueuedReport queued[QUEUED_INPUT_REPORTS];
    ULONG queuedHead;
    ULONG queuedCount;
    ULONG nextFeatureId;
    V270Counters counters;
} state;

static DeviceContext *contextOf(PDEVICE_OBJECT device) {
    return (DeviceContext *)((PHID_DEVICE_EXTENSION)device->DeviceExtension)->MiniDeviceExtension;
}

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
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
static BOOLEAN enqueueWaiting(LIST_ENTRY *list, PIRP irp) {
    IoSetCancelRoutine(irp, cancelWaiting);
    if (irp->Cancel && IoSetCancelRoutine(irp, NULL) != NULL)
        return FALSE;
    IoMarkIrpPending(irp);
    InsertTailList(list, &irp->Tail.Overlay.ListEntry);
    return TRUE;
}

/* With the lock held: the oldest request of `list` that is not being cancelled, or NULL. */
static PIRP dequeueWaiting(LIST_ENTRY *list) {
    while (!IsListEmpty(list)) {
        LIST_ENTRY *entry = RemoveHeadList(list);
        PIRP irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
        if (IoSetCancelRoutine(irp, NULL) != NULL)
            return irp;
        /* Its cancel routine runs now and removes the entry: make that removal harmless. */
        InitializeListHead(entry);
    }
    return NULL;
}

/* With the lock held: moves every request of `from` into `into`, to be completed unlocked. */
static void dequeueAll(LIST_ENTRY *from, LIST_ENTRY *into) {
    PIRP irp;
    while ((irp = dequeueWaiting(from)) != NULL)
        InsertTailList(into, &irp->Tail.Overlay.ListEntry);
}

static void completeAll(LIST_ENTRY *list, NTSTATUS status) {
    while (!IsListEmpty(list)) {
        PIRP irp = CONTAINING_RECORD(RemoveHeadList(list), IRP, Tail.Overlay.ListEntry);
        complete(irp, status, 0);
    }
}

static ULONG featureIdOf(PIRP irp) {
    return (ULONG)(ULONG_PTR)irp->Tail.Overlay.DriverContext[0];
}

/* ---- The report descriptors ---- */

/* A vendor collection of `usagePage`, usage 1, with one report of `length` bytes (report ID
 * included) of the main item `mainItem` (0x81 input, 0xB1 feature). A length below 2 has no
 * data: the collection then declares no report of that kind. */
static USHORT buildDescriptor(UCHAR *out, USHORT usagePage, UCHAR reportId, UCHAR mainItem,
                              USHORT length) {
    USHORT n = 0;
    out[n++] = 0x06; /* usage page (2 bytes) */
    out[n++] = (UCHAR)(usagePage & 0xFF);
    out[n++] = (UCHAR)(usagePage >> 8);
    out[n++] = 0x09; /* usage 1 */
    out[n++] = 0x01;
    out[n++] = 0xA1; /* collection (application) */
    out[n++] = 0x01;
    if (length >= 2) {
        USHORT count = (USHORT)(length - 1);
        out[n++] = 0x85; /* report ID */
        out[n++] = reportId;
        out[n++] = 0x09; /* usage 1 */
        out[n++] = 0x01;
        out[n++] = 0x15; /* logical minimum 0 */
        out[n++] = 0x00;
        out[n++] = 0x26; /* logical maximum 255 */
        out[n++] = 0xFF;
        out[n++] = 0x00;
        out[n++] = 0x75; /* report size 8 */
        out[n++] = 0x08;
        out[n++] = 0x96; /* report count (2 bytes) */
        out[n++] = (UCHAR)(count & 0xFF);
        out[n++] = (UCHAR)(count >> 8);
        out[n++] = mainItem;
        out[n++] = 0x02; /* data, variable, absolute */
    }
    out[n++] = 0xC0; /* end collection */
    return n;
}

/* ---- PnP ---- */

static NTSTATUS NTAPI signalOnCompletion(PDEVICE_OBJECT device, PIRP irp, PVOID event) {
    (void)device;
    (void)irp;
    KeSetEvent((PKEVENT)event, IO_NO_INCREMENT, FALSE);
    return STATUS_MORE_PROCESSING_REQUIRED;
}

/* Passes `irp` to the next device and waits for it; the caller completes it. */
static NTSTATUS forwardAndWait(PDEVICE_OBJECT device, PIRP irp) {
    PHID_DEVICE_EXTENSION extension = (PHID_DEVICE_EXTENSION)device->DeviceExtension;
    KEVENT done;
    KeInitializeEvent(&done, NotificationEvent, FALSE);
    IoCopyCurrentIrpStackLocationToNext(irp);
    IoSetCompletionRoutine(irp, signalOnCompletion, &done, TRUE, TRUE, TRUE);
    if (IoCallDriver(extension->NextDeviceObject, irp) == STATUS_PENDING)
        KeWaitForSingleObject(&done, Executive, KernelMode, FALSE, NULL);
    return irp->IoStatus.Status;
}

static NTSTATUS forward(PDEVICE_OBJECT device, PIRP irp) {
    PHID_DEVICE_EXTENSION extension = (PHID_DEVICE_EXTENSION)device->DeviceExtension;
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(extension->NextDeviceObject, irp);
}

/* Which collection the device below serves: its device id names the collection. */
static int kindOfDevice(PDEVICE_OBJECT device) {
    PHID_DEVICE_EXTENSION extension = (PHID_DEVICE_EXTENSION)device->DeviceExtension;
    KEVENT done;
    IO_STATUS_BLOCK status;
    PIRP irp;
    int kind = KIND_INPUT;
    KeInitializeEvent(&done, NotificationEvent, FALSE);
    irp = IoBuildSynchronousFsdRequest(IRP_MJ_PNP, extension->NextDeviceObject, NULL, 0, NULL,
                                       &done, &status);
    if (irp == NULL)
        return kind;
    irp->IoStatus.Status = STATUS_NOT_SUPPORTED;
    IoGetNextIrpStackLocation(irp)->MinorFunction = IRP_MN_QUERY_ID;
    IoGetNextIrpStackLocation(irp)->Parameters.QueryId.IdType = BusQueryDeviceID;
    if (IoCallDriver(extension->NextDeviceObject, irp) == STATUS_PENDING)
        KeWaitForSingleObject(&done, Executive, KernelMode, FALSE, NULL);
    if (NT_SUCCESS(status.Status) && status.Information != 0) {
        WCHAR *id = (WCHAR *)status.Information;
        if (wcsstr(id, V270_VMOUSE_FEATURE_MARK) != NULL)
            kind = KIND_FEATURE;
        ExFreePool(id);
    }
    return kind;
}

static void startDevice(PDEVICE_OBJECT device) {
    DeviceContext *context = contextOf(device);
    KIRQL irql;
    int kind = kindOfDevice(device);
    KeAcquireSpinLock(&state.lock, &irql);
    context->kind = kind;
    if (kind == KIND_INPUT) {
        context->descriptorLength = buildDescriptor(context->descriptor, 0xFF00,
                                                    V270_VMOUSE_INPUT_REPORT_ID, 0x81,
                                                    state.counters.lengths.input);
    } else {
        context->descriptorLength = buildDescriptor(context->descriptor, 0xFF01,
                                                    V270_VMOUSE_FEATURE_REPORT_ID, 0xB1,
                                                    state.counters.lengths.feature);
    }
    context->started = TRUE;
    state.present[kind] = context;
    state.counters.devicesPresent |= 1u << kind;
    KeReleaseSpinLock(&state.lock, irql);
}

/* The device goes: every request that waits on it ends now, so that nothing above it waits for
 * a device that is gone. */
static void stopDevice(PDEVICE_OBJECT device) {
    DeviceContext *context = contextOf(device);
    LIST_ENTRY ended;
    KIRQL irql;
    ULONG i;
    InitializeListHead(&ended);
    KeAcquireSpinLock(&state.lock, &irql);
    if (context->started) {
        context->started = FALSE;
        dequeueAll(&state.pendingReads[context->kind], &ended);
        if (state.present[context->kind] == context) {
            state.present[context->kind] = NULL;
            state.counters.devicesPresent &= ~(1u << context->kind);
            if (context->kind == KIND_FEATURE) {
                dequeueAll(&state.waitingFeatures, &ended);
                dequeueAll(&state.takenFeatures, &ended);
            }
        }
    }
    KeReleaseSpinLock(&state.lock, irql);
    completeAll(&ended, STATUS_DEVICE_NOT_CONNECTED);
    if (context->kind == KIND_INPUT) {
        KeAcquireSpinLock(&state.lock, &irql);
        for (i = 0; i < QUEUED_INPUT_REPORTS; ++i) {
            if (state.queued[i].bytes != NULL)
                ExFreePoolWithTag(state.queued[i].bytes, POOL_TAG);
            state.queued[i].bytes = NULL;
        }
        state.queuedHead = 0;
        state.queuedCount = 0;
        KeReleaseSpinLock(&state.lock, irql);
    }
}

static NTSTATUS NTAPI dispatchPnp(PDEVICE_OBJECT device, PIRP irp) {
    NTSTATUS status;
    switch (IoGetCurrentIrpStackLocation(irp)->MinorFunction) {
        case IRP_MN_START_DEVICE:
            status = forwardAndWait(device, irp);
            if (NT_SUCCESS(status))
                startDevice(device);
            return complete(irp, status, irp->IoStatus.Information);
        case IRP_MN_SURPRISE_REMOVAL:
        case IRP_MN_REMOVE_DEVICE:
        case IRP_MN_STOP_DEVICE:
            stopDevice(device);
            irp->IoStatus.Status = STATUS_SUCCESS;
            return forward(device, irp);
        case IRP_MN_QUERY_REMOVE_DEVICE:
        case IRP_MN_CANCEL_REMOVE_DEVICE:
        case IRP_MN_QUERY_STOP_DEVICE:
        case IRP_MN_CANCEL_STOP_DEVICE:
            irp->IoStatus.Status = STATUS_SUCCESS;
            return forward(device, irp);
        default:
            return forward(device, irp);
    }
}

static NTSTATUS NTAPI dispatchPower(PDEVICE_OBJECT device, PIRP irp) {
    PHID_DEVICE_EXTENSION extension = (PHID_DEVICE_EXTENSION)device->DeviceExtension;
    PoStartNextPowerIrp(irp);
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(extension->NextDeviceObject, irp);
}

static NTSTATUS NTAPI addDevice(PDRIVER_OBJECT driver, PDEVICE_OBJECT device) {
    DeviceContext *context = contextOf(device);
    (void)driver;
    RtlZeroMemory(context, sizeof *context);
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

/* ---- The HID class driver's requests ---- */

static NTSTATUS readReport(PDEVICE_OBJECT device, PIRP irp, ULONG capacity) {
    DeviceContext *context = contextOf(device);
    QueuedReport report = {0, NULL};
    KIRQL irql;
    ULONG length;
    KeAcquireSpinLock(&state.lock, &irql);
    if (!context->started) {
        KeReleaseSpinLock(&state.lock, irql);
        return complete(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
    }
    if (context->kind == KIND_INPUT && state.queuedCount > 0) {
        report = state.queued[state.queuedHead];
        state.queued[state.queuedHead].bytes = NULL;
        state.queuedHead = (state.queuedHead + 1) % QUEUED_INPUT_REPORTS;
        --state.queuedCount;
        ++state.counters.inputDelivered;
    } else {
        BOOLEAN queued = enqueueWaiting(&state.pendingReads[context->kind], irp);
        KeReleaseSpinLock(&state.lock, irql);
        return queued ? STATUS_PENDING : complete(irp, STATUS_CANCELLED, 0);
    }
    KeReleaseSpinLock(&state.lock, irql);
    length = report.length < capacity ? report.length : capacity;
    RtlCopyMemory(irp->UserBuffer, report.bytes, length);
    ExFreePoolWithTag(report.bytes, POOL_TAG);
    return complete(irp, STATUS_SUCCESS, length);
}

/* With the lock held: hands the oldest waiting feature report to a waiting take, if there are
 * both. The take is returned to be completed unlocked. */
static PIRP matchFeatureWithTake(void) {
    PIRP take;
    PIRP report;
    PHID_XFER_PACKET packet;
    V270FeatureHeader *header;
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
    header = (V270FeatureHeader *)take->AssociatedIrp.SystemBuffer;
    header->id = featureIdOf(report);
    header->length = packet->reportBufferLen;
    RtlCopyMemory(header + 1, packet->reportBuffer, packet->reportBufferLen);
    take->IoStatus.Information = sizeof *header + packet->reportBufferLen;
    IoSetCancelRoutine(report, cancelWaiting);
    InsertTailList(&state.takenFeatures, &report->Tail.Overlay.ListEntry);
    return take;
}

static void completeTake(PIRP take) {
    if (take != NULL) {
        take->IoStatus.Status = take->IoStatus.Information != 0 ? STATUS_SUCCESS : STATUS_CANCELLED;
        IoCompleteRequest(take, IO_NO_INCREMENT);
    }
}

static NTSTATUS setFeature(PDEVICE_OBJECT device, PIRP irp) {
    DeviceContext *context = contextOf(device);
    PHID_XFER_PACKET packet = (PHID_XFER_PACKET)irp->UserBuffer;
    PIRP take;
    KIRQL irql;
    if (packet == NULL || packet->reportBuffer == NULL ||
        packet->reportBufferLen > V270_VMOUSE_MAX_REPORT_LENGTH)
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    KeAcquireSpinLock(&state.lock, &irql);
    if (!context->started || context->kind != KIND_FEATURE) {
        KeReleaseSpinLock(&state.lock, irql);
        return complete(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
    }
    ++state.counters.featureReceived;
    if (state.counters.controlClients == 0) {
        /* Nobody plays the mouse: it takes what it is told. */
        ++state.counters.featureUnobserved;
        KeReleaseSpinLock(&state.lock, irql);
        return complete(irp, STATUS_SUCCESS, packet->reportBufferLen);
    }
    irp->Tail.Overlay.DriverContext[0] = (PVOID)(ULONG_PTR)++state.nextFeatureId;
    if (!enqueueWaiting(&state.waitingFeatures, irp)) {
        KeReleaseSpinLock(&state.lock, irql);
        return complete(irp, STATUS_CANCELLED, 0);
    }
    take = matchFeatureWithTake();
    KeReleaseSpinLock(&state.lock, irql);
    completeTake(take);
    return STATUS_PENDING;
}

/* A report the program asks for: the mouse keeps none to give, so it answers zeros. */
static NTSTATUS getReport(PIRP irp) {
    PHID_XFER_PACKET packet = (PHID_XFER_PACKET)irp->UserBuffer;
    if (packet == NULL || packet->reportBuffer == NULL || packet->reportBufferLen == 0)
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    RtlZeroMemory(packet->reportBuffer, packet->reportBufferLen);
    packet->reportBuffer[0] = packet->reportId;
    return complete(irp, STATUS_SUCCESS, packet->reportBufferLen);
}

static NTSTATUS getString(PIO_STACK_LOCATION stack, PIRP irp) {
    const WCHAR *text;
    ULONG bytes;
    switch ((ULONG)(ULONG_PTR)stack->Parameters.DeviceIoControl.Type3InputBuffer & 0xFFFF) {
        case 14: /* the manufacturer */
            text = L"VELKO";
            break;
        case 15: /* the product */
            text = L"V270 virtual test mouse";
            break;
        case 16: /* the serial number */
            text = L"0000";
            break;
        default:
            return complete(irp, STATUS_INVALID_PARAMETER, 0);
    }
    bytes = (ULONG)(wcslen(text) + 1) * sizeof(WCHAR);
    if (stack->Parameters.DeviceIoControl.OutputBufferLength < bytes)
        return complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
    RtlCopyMemory(irp->UserBuffer, text, bytes);
    return complete(irp, STATUS_SUCCESS, bytes);
}

static NTSTATUS NTAPI dispatchInternal(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    DeviceContext *context = contextOf(device);
    ULONG capacity = stack->Parameters.DeviceIoControl.OutputBufferLength;
    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
        case IOCTL_HID_GET_DEVICE_DESCRIPTOR: {
            PHID_DESCRIPTOR descriptor = (PHID_DESCRIPTOR)irp->UserBuffer;
            if (capacity < sizeof *descriptor)
                return complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
            RtlZeroMemory(descriptor, sizeof *descriptor);
            descriptor->bLength = sizeof *descriptor;
            descriptor->bDescriptorType = HID_HID_DESCRIPTOR_TYPE;
            descriptor->bcdHID = 0x0110;
            descriptor->bNumDescriptors = 1;
            descriptor->DescriptorList[0].bReportType = HID_REPORT_DESCRIPTOR_TYPE;
            descriptor->DescriptorList[0].wReportLength = context->descriptorLength;
            return complete(irp, STATUS_SUCCESS, sizeof *descriptor);
        }
        case IOCTL_HID_GET_REPORT_DESCRIPTOR:
            if (capacity < context->descriptorLength)
                return complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
            RtlCopyMemory(irp->UserBuffer, context->descriptor, context->descriptorLength);
            return complete(irp, STATUS_SUCCESS, context->descriptorLength);
        case IOCTL_HID_GET_DEVICE_ATTRIBUTES: {
            PHID_DEVICE_ATTRIBUTES attributes = (PHID_DEVICE_ATTRIBUTES)irp->UserBuffer;
            if (capacity < sizeof *attributes)
                return complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
            RtlZeroMemory(attributes, sizeof *attributes);
            attributes->Size = sizeof *attributes;
            attributes->VendorID = 0x18F8;
            attributes->ProductID = 0x0F99;
            attributes->VersionNumber = VERSION_NUMBER;
            return complete(irp, STATUS_SUCCESS, sizeof *attributes);
        }
        case IOCTL_HID_READ_REPORT:
            return readReport(device, irp, capacity);
        case IOCTL_HID_SET_FEATURE:
            return setFeature(device, irp);
        case IOCTL_HID_GET_FEATURE:
        case IOCTL_HID_GET_INPUT_REPORT:
            return getReport(irp);
        case IOCTL_HID_GET_STRING:
            return getString(stack, irp);
        default:
            return complete(irp, STATUS_NOT_SUPPORTED, 0);
    }
}

/* ---- The control device ---- */

static NTSTATUS pushInput(PIRP irp, ULONG length) {
    UCHAR *bytes;
    PIRP read;
    KIRQL irql;
    ULONG capacity;
    if (length == 0 || length > V270_VMOUSE_MAX_REPORT_LENGTH)
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    KeAcquireSpinLock(&state.lock, &irql);
    if (state.present[KIND_INPUT] == NULL) {
        KeReleaseSpinLock(&state.lock, irql);
        return complete(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
    }
    ++state.counters.inputPushed;
    read = dequeueWaiting(&state.pendingReads[KIND_INPUT]);
    if (read != NULL) {
        ++state.counters.inputDelivered;
        KeReleaseSpinLock(&state.lock, irql);
        capacity = IoGetCurrentIrpStackLocation(read)->Parameters.DeviceIoControl.OutputBufferLength;
        if (length < capacity)
            capacity = length;
        RtlCopyMemory(read->UserBuffer, irp->AssociatedIrp.SystemBuffer, capacity);
        complete(read, STATUS_SUCCESS, capacity);
        return complete(irp, STATUS_SUCCESS, 0);
    }
    KeReleaseSpinLock(&state.lock, irql);

    /* No read waits: the report waits for one, as the device's own buffer would keep it. */
    bytes = (UCHAR *)ExAllocatePoolWithTag(NonPagedPool, length, POOL_TAG);
    if (bytes == NULL)
        return complete(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
    RtlCopyMemory(bytes, irp->AssociatedIrp.SystemBuffer, length);
    KeAcquireSpinLock(&state.lock, &irql);
    if (state.queuedCount == QUEUED_INPUT_REPORTS) {
        ExFreePoolWithTag(state.queued[state.queuedHead].bytes, POOL_TAG);
        state.queuedHead = (state.queuedHead + 1) % QUEUED_INPUT_REPORTS;
        --state.queuedCount;
        ++state.counters.inputDropped;
    }
    {
        ULONG slot = (state.queuedHead + state.queuedCount) % QUEUED_INPUT_REPORTS;
        state.queued[slot].bytes = bytes;
        state.queued[slot].length = length;
        ++state.queuedCount;
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
    const V270FeatureAnswer *answer = (const V270FeatureAnswer *)irp->AssociatedIrp.SystemBuffer;
    PIRP report = NULL;
    LIST_ENTRY *entry;
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
    const V270Lengths *lengths = (const V270Lengths *)irp->AssociatedIrp.SystemBuffer;
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
    LIST_ENTRY *entry;
    if (capacity < sizeof(V270Counters))
        return complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
    KeAcquireSpinLock(&state.lock, &irql);
    state.counters.readsPending = 0;
    for (entry = state.pendingReads[KIND_INPUT].Flink; entry != &state.pendingReads[KIND_INPUT];
         entry = entry->Flink)
        ++state.counters.readsPending;
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
    LIST_ENTRY *entry;
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

static NTSTATUS dispatchControl(PIRP irp) {
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

/* Once registered, the HID class driver owns the dispatch table: requests for the control
 * device are taken aside here, every other goes to the class driver. */
static NTSTATUS NTAPI dispatchAny(PDEVICE_OBJECT device, PIRP irp) {
    UCHAR major = IoGetCurrentIrpStackLocation(irp)->MajorFunction;
    if (device == state.control)
        return dispatchControl(irp);
    if (state.classDispatch[major] != NULL)
        return state.classDispatch[major](device, irp);
    return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    HID_MINIDRIVER_REGISTRATION registration;
    UNICODE_STRING deviceName;
    UNICODE_STRING linkName;
    NTSTATUS status;
    ULONG major;

    KeInitializeSpinLock(&state.lock);
    InitializeListHead(&state.pendingReads[KIND_INPUT]);
    InitializeListHead(&state.pendingReads[KIND_FEATURE]);
    InitializeListHead(&state.waitingFeatures);
    InitializeListHead(&state.takenFeatures);
    InitializeListHead(&state.pendingTakes);
    state.counters.lengths.input = V270_VMOUSE_DEFAULT_INPUT_LENGTH;
    state.counters.lengths.feature = V270_VMOUSE_DEFAULT_FEATURE_LENGTH;

    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = dispatchInternal;
    driver->MajorFunction[IRP_MJ_PNP] = dispatchPnp;
    driver->MajorFunction[IRP_MJ_POWER] = dispatchPower;
    driver->DriverExtension->AddDevice = addDevice;

    RtlZeroMemory(&registration, sizeof registration);
    registration.Revision = HID_REVISION;
    registration.DriverObject = driver;
    registration.RegistryPath = registryPath;
    registration.DeviceExtensionSize = sizeof(DeviceContext);
    registration.DevicesArePolled = FALSE;
    status = HidRegisterMinidriver(&registration);
    if (!NT_SUCCESS(status))
        return status;

    for (major = 0; major <= IRP_MJ_MAXIMUM_FUNCTION; ++major) {
        state.classDispatch[major] = driver->MajorFunction[major];
        driver->MajorFunction[major] = dispatchAny;
    }
    RtlInitUnicodeString(&deviceName, V270_VMOUSE_DEVICE_NAME);
    RtlInitUnicodeString(&linkName, V270_VMOUSE_LINK_NAME);
    status = IoCreateDevice(driver, 0, &deviceName, FILE_DEVICE_UNKNOWN, 0, FALSE, &state.control);
    if (NT_SUCCESS(status)) {
        state.control->Flags |= DO_BUFFERED_IO;
        status = IoCreateSymbolicLink(&linkName, &deviceName);
        state.control->Flags &= ~DO_DEVICE_INITIALIZING;
    }
    /* Without the control device the mouse still works; nobody can play it. */
    return STATUS_SUCCESS;
}
