// Host control of the kernel objects (synchapi.h, handleapi.h): how many are
// still open, for leak checks.
#pragma once
#include <handleapi.h>
#include <synchapi.h>

// Kernel objects not yet closed, for leak checks.
int OpenKernelHandleCount();
