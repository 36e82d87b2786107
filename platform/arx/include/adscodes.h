// Stand-in for adscodes.h: result codes of the host's input functions.
#pragma once

#define RTNONE 5000   // no input: Enter on an empty line
#define RTREJ (-5003) // request rejected
#define RTFAIL (-5004)
#define RTKWORD (-5005)
#define RTCAN (-5002) // cancel: Escape
#define RTERROR (-5001)
#define RTNORM 5100

// Result types of a resbuf's value.
#define RTREAL 5001
#define RTSHORT 5003 // a 16-bit integer
#define RTSTR 5005
#define RTLONG 5010
#define RSRSLT 1
#define RSERR 3

// acedInitGet control bits
#define RSG_NONULL 0x0001
#define RSG_NOZERO 0x0002
#define RSG_NONEG 0x0004
