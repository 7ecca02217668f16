/* The exported entry point under the name plug-ins have always used. It is
   written in C because a C++ function cannot be called main and return
   something else than int. */
struct VstEffect;
typedef long long (*HostCallback)(void);
struct VstEffect* zedGainPluginMain(HostCallback host);

struct VstEffect* main(HostCallback host) { return zedGainPluginMain(host); }
