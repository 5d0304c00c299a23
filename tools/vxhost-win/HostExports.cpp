// The host API of the Windows substitute host: the 54 VXA_* entries of
// tools/vxhost, exported by name from the program (undecorated also on
// i686, where the link strips the stdcall suffix).
#define VXAPI extern "C" __declspec(dllexport)
#include "../vxhost/HostExports.cpp"
