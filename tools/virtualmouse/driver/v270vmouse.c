/* v270vmouse.sys: a HID minidriver that presents the V270 mouse's two vendor collections, each
 * on a root device of its own (VID_18F8&PID_0F99&MI_01&COL01 the input collection, ...&COL02
 * the feature collection), and a control device through which a test tool plays the mouse: it
 * pushes the input reports the mouse sends and answers the feature reports the program sends.
 * A test device only; nothing of it ships. */
#include "driver_state.h"

DriverState state;

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
        WCHAR* id = (WCHAR*)status.Information;
        if (wcsstr(id, V270_VMOUSE_FEATURE_MARK) != NULL)
            kind = KIND_FEATURE;
        ExFreePool(id);
    }
    return kind;
}

static void startDevice(PDEVICE_OBJECT device) {
    DeviceContext* context = contextOf(device);
    KIRQL irql;
    int kind = kindOfDevice(device);
    KeAcquireSpinLock(&state.lock, &irql);
    context->kind = kind;
    if (kind == KIND_INPUT) {
        context->descriptorLength =
            buildDescriptor(context->descriptor, 0xFF00, V270_VMOUSE_INPUT_REPORT_ID, 0x81,
                            state.counters.lengths.input);
    } else {
        context->descriptorLength =
            buildDescriptor(context->descriptor, 0xFF01, V270_VMOUSE_FEATURE_REPORT_ID, 0xB1,
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
    DeviceContext* context = contextOf(device);
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
    DeviceContext* context = contextOf(device);
    (void)driver;
    RtlZeroMemory(context, sizeof *context);
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
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

    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = dispatchHidRequest;
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
