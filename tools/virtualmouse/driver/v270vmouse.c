/* v270vmouse.sys: a HID minidriver that presents the V270 mouse's two vendor collections, each
 * on a root device of its own (VID_18F8&PID_0F99&MI_01&COL01 the input collection, ...&COL02
 * the feature collection; the devices' instance number tells one mouse from another), and a
 * control device through which a test tool plays the mice: it pushes the input reports a mouse
 * sends and answers the feature reports the program sends.
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

/* One of the ids of the device below, to be freed with ExFreePool; NULL when it has none. */
static WCHAR* queryId(PDEVICE_OBJECT device, BUS_QUERY_ID_TYPE type) {
    PHID_DEVICE_EXTENSION extension = (PHID_DEVICE_EXTENSION)device->DeviceExtension;
    KEVENT done;
    IO_STATUS_BLOCK status;
    PIRP irp;
    KeInitializeEvent(&done, NotificationEvent, FALSE);
    irp = IoBuildSynchronousFsdRequest(IRP_MJ_PNP, extension->NextDeviceObject, NULL, 0, NULL,
                                       &done, &status);
    if (irp == NULL)
        return NULL;
    irp->IoStatus.Status = STATUS_NOT_SUPPORTED;
    IoGetNextIrpStackLocation(irp)->MinorFunction = IRP_MN_QUERY_ID;
    IoGetNextIrpStackLocation(irp)->Parameters.QueryId.IdType = type;
    if (IoCallDriver(extension->NextDeviceObject, irp) == STATUS_PENDING)
        KeWaitForSingleObject(&done, Executive, KernelMode, FALSE, NULL);
    return NT_SUCCESS(status.Status) ? (WCHAR*)status.Information : NULL;
}

/* Which collection the device below serves (its device id names the collection), and of which
 * mouse (its instance number). */
static void identifyDevice(PDEVICE_OBJECT device, DeviceContext* context) {
    WCHAR* id = queryId(device, BusQueryDeviceID);
    ULONG number = 0;
    const WCHAR* digit;
    context->kind = KIND_INPUT;
    context->mouse = 0;
    if (id != NULL) {
        if (wcsstr(id, V270_VMOUSE_FEATURE_MARK) != NULL)
            context->kind = KIND_FEATURE;
        ExFreePool(id);
    }
    id = queryId(device, BusQueryInstanceID);
    if (id == NULL)
        return;
    for (digit = id; *digit >= L'0' && *digit <= L'9'; ++digit)
        number = number * 10 + (ULONG)(*digit - L'0');
    if (*digit == 0 && number < V270_VMOUSE_MICE)
        context->mouse = number;
    ExFreePool(id);
}

static void startDevice(PDEVICE_OBJECT device) {
    DeviceContext* context = contextOf(device);
    DeviceContext identity;
    KIRQL irql;
    identifyDevice(device, &identity);
    KeAcquireSpinLock(&state.lock, &irql);
    context->kind = identity.kind;
    context->mouse = identity.mouse;
    if (context->kind == KIND_INPUT) {
        context->descriptorLength =
            buildDescriptor(context->descriptor, 0xFF00, V270_VMOUSE_INPUT_REPORT_ID, 0x81,
                            state.counters.lengths.input);
    } else {
        context->descriptorLength =
            buildDescriptor(context->descriptor, 0xFF01, V270_VMOUSE_FEATURE_REPORT_ID, 0xB1,
                            state.counters.lengths.feature);
    }
    context->started = TRUE;
    state.mice[context->mouse].present[context->kind] = context;
    state.counters.devicesPresent |= 1u << (2 * context->mouse + context->kind);
    KeReleaseSpinLock(&state.lock, irql);
}

/* The device goes: every request that waits on it ends now, so that nothing above it waits for
 * a device that is gone. */
static void stopDevice(PDEVICE_OBJECT device) {
    DeviceContext* context = contextOf(device);
    VirtualMouse* mouse = &state.mice[context->mouse];
    LIST_ENTRY ended;
    KIRQL irql;
    ULONG i;
    InitializeListHead(&ended);
    KeAcquireSpinLock(&state.lock, &irql);
    if (context->started) {
        context->started = FALSE;
        dequeueAll(&mouse->pendingReads[context->kind], &ended);
        if (mouse->present[context->kind] == context) {
            mouse->present[context->kind] = NULL;
            state.counters.devicesPresent &= ~(1u << (2 * context->mouse + context->kind));
            if (context->kind == KIND_FEATURE) {
                dequeueOfMouse(&state.waitingFeatures, context->mouse, &ended);
                dequeueOfMouse(&state.takenFeatures, context->mouse, &ended);
            }
        }
    }
    KeReleaseSpinLock(&state.lock, irql);
    completeAll(&ended, STATUS_DEVICE_NOT_CONNECTED);
    if (context->kind == KIND_INPUT) {
        KeAcquireSpinLock(&state.lock, &irql);
        for (i = 0; i < QUEUED_INPUT_REPORTS; ++i) {
            if (mouse->queued[i].bytes != NULL)
                ExFreePoolWithTag(mouse->queued[i].bytes, POOL_TAG);
            mouse->queued[i].bytes = NULL;
        }
        mouse->queuedHead = 0;
        mouse->queuedCount = 0;
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
    ULONG mouse;

    KeInitializeSpinLock(&state.lock);
    for (mouse = 0; mouse < V270_VMOUSE_MICE; ++mouse) {
        InitializeListHead(&state.mice[mouse].pendingReads[KIND_INPUT]);
        InitializeListHead(&state.mice[mouse].pendingReads[KIND_FEATURE]);
    }
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
