/* The exported entry point under the name plug-ins have always used. It is
   written in C and compiled freestanding, where main is a name like any
   other: a C++ or hosted C main must return int. */
struct VstEffect;
typedef long long (*HostCallback)(void);
struct VstEffect* zedGainPluginMain(HostCallback host);

struct VstEffect* main(HostCallback host) { return zedGainPluginMain(host); }
