/* The control device of the virtual mouse driver: how a test tool reaches the driver from user
 * mode. Shared by the driver (C, kernel headers) and the tools (C++, windows.h), so it uses only
 * the types both have. */
#ifndef V270_VIRTUAL_MOUSE_CONTROL_H
#define V270_VIRTUAL_MOUSE_CONTROL_H

#define V270_VMOUSE_DEVICE_NAME L"\\Device\\V270VirtualMouse"
#define V270_VMOUSE_LINK_NAME L"\\DosDevices\\V270VirtualMouse"
#define V270_VMOUSE_USER_PATH L"\\\\.\\V270VirtualMouse"

/* The hardware id the INF matches, and the device names of the two root devices: Windows lists
 * the mouse's two vendor collections as collections 1 and 2 of interface 1. */
#define V270_VMOUSE_HARDWARE_ID L"ROOT\\V270VirtualMouse"
#define V270_VMOUSE_INPUT_DEVICE L"VID_18F8&PID_0F99&MI_01&COL01"
#define V270_VMOUSE_FEATURE_DEVICE L"VID_18F8&PID_0F99&MI_01&COL02"
#define V270_VMOUSE_FEATURE_MARK L"&COL02"
/* Up to two mice: mouse N's devices have the instance number N (ROOT\...&COL01\0000 and
 * ...&COL02\0000 are mouse 0's, ...\0001 mouse 1's). */
#define V270_VMOUSE_MICE 2

#define V270_VMOUSE_INPUT_REPORT_ID 6
#define V270_VMOUSE_FEATURE_REPORT_ID 7
/* The lengths the real mouse has, report ID included. */
#define V270_VMOUSE_DEFAULT_INPUT_LENGTH 8
#define V270_VMOUSE_DEFAULT_FEATURE_LENGTH 9
#define V270_VMOUSE_MAX_REPORT_LENGTH 65535

#define V270_VMOUSE_IOCTL(n) \
    CTL_CODE(FILE_DEVICE_UNKNOWN, 0x800 + (n), METHOD_BUFFERED, FILE_ANY_ACCESS)

/* In: V270InputHeader, then one input report, report ID first. The oldest read of that mouse's
 * input device completes with it, or it waits in a small queue (the oldest dropped when full).
 * Fails while that mouse has no input device. */
#define IOCTL_V270_PUSH_INPUT V270_VMOUSE_IOCTL(0)
/* Out: V270FeatureHeader and the report's bytes. Pends until the program sends a feature report;
 * the report stays unanswered (its sender waits) until IOCTL_V270_ANSWER_FEATURE names it. */
#define IOCTL_V270_TAKE_FEATURE V270_VMOUSE_IOCTL(1)
/* In: V270FeatureAnswer. Completes the named report's send with success or failure. */
#define IOCTL_V270_ANSWER_FEATURE V270_VMOUSE_IOCTL(2)
/* In: V270Lengths, the report lengths of the devices that start from now on. */
#define IOCTL_V270_SET_LENGTHS V270_VMOUSE_IOCTL(3)
/* Out: V270Counters. */
#define IOCTL_V270_COUNTERS V270_VMOUSE_IOCTL(4)

typedef struct V270InputHeader {
    unsigned long mouse;
} V270InputHeader;

typedef struct V270FeatureHeader {
    unsigned long id;
    unsigned long length;
    unsigned long mouse; /* the mouse it was sent to */
} V270FeatureHeader;

typedef struct V270FeatureAnswer {
    unsigned long id;
    unsigned long accepted;
} V270FeatureAnswer;

typedef struct V270Lengths {
    unsigned short input;
    unsigned short feature;
} V270Lengths;

/* What the driver has seen since it was loaded. */
typedef struct V270Counters {
    unsigned long long inputPushed;
    unsigned long long inputDelivered;
    unsigned long long inputDropped;
    unsigned long long featureReceived;
    unsigned long long featureAccepted;
    unsigned long long featureRefused;
    /* Reports sent while no control client was there to take them, accepted. */
    unsigned long long featureUnobserved;
    unsigned long readsPending;
    /* Bit 2N: mouse N's input device is started; bit 2N + 1: its feature device. */
    unsigned long devicesPresent;
    V270Lengths lengths;
    unsigned short reserved;
    unsigned long controlClients;
} V270Counters;

#endif
