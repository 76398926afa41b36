/* The HID class driver's requests: the descriptors, the device's identity and strings, the
 * reads of input reports and the feature reports the program sends. */
#include "driver_state.h"

/* A vendor collection of `usagePage`, usage 1, with one report of `length` bytes (report ID
 * included) of the main item `mainItem` (0x81 input, 0xB1 feature). A length below 2 has no
 * data: the collection then declares no report of that kind. */
USHORT buildDescriptor(UCHAR* out, USHORT usagePage, UCHAR reportId, UCHAR mainItem,
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

static NTSTATUS readReport(PDEVICE_OBJECT device, PIRP irp, ULONG capacity) {
    DeviceContext* context = contextOf(device);
    VirtualMouse* mouse = &state.mice[context->mouse];
    QueuedReport report = {0, NULL};
    KIRQL irql;
    ULONG length;
    KeAcquireSpinLock(&state.lock, &irql);
    if (!context->started) {
        KeReleaseSpinLock(&state.lock, irql);
        return complete(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
    }
    if (context->kind == KIND_INPUT && mouse->queuedCount > 0) {
        report = mouse->queued[mouse->queuedHead];
        mouse->queued[mouse->queuedHead].bytes = NULL;
        mouse->queuedHead = (mouse->queuedHead + 1) % QUEUED_INPUT_REPORTS;
        --mouse->queuedCount;
        ++state.counters.inputDelivered;
    } else {
        BOOLEAN queued = enqueueWaiting(&mouse->pendingReads[context->kind], irp);
        KeReleaseSpinLock(&state.lock, irql);
        return queued ? STATUS_PENDING : complete(irp, STATUS_CANCELLED, 0);
    }
    KeReleaseSpinLock(&state.lock, irql);
    length = report.length < capacity ? report.length : capacity;
    RtlCopyMemory(irp->UserBuffer, report.bytes, length);
    ExFreePoolWithTag(report.bytes, POOL_TAG);
    return complete(irp, STATUS_SUCCESS, length);
}

static NTSTATUS setFeature(PDEVICE_OBJECT device, PIRP irp) {
    DeviceContext* context = contextOf(device);
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
    irp->Tail.Overlay.DriverContext[1] = (PVOID)(ULONG_PTR)context->mouse;
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
    const WCHAR* text;
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

NTSTATUS NTAPI dispatchHidRequest(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    DeviceContext* context = contextOf(device);
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
