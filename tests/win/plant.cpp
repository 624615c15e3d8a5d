// A DLL of a name no system has, built twice: one copy goes into the system folder, the other
// beside the test program, as someone planting a DLL would put it. Each says which copy it is.
extern "C" __declspec(dllexport) int LvPlantKind() { return LV_PLANT_KIND; }
