// The program list: the instance's programs in the root unit, the ones the program change
// parameter selects. It names what a selection plays, so it reads the instance's programs and
// not the factory table: a new instance's are Blank, as in every format, and a host that loads
// the factory bank lists the factory programs here.

#include "vst3/Vst3Effect.h"

#include "vst3/Vst3EffectInternal.h"

namespace MorlentVst3 {

void Vst3Effect::SetProgramFromHost(ParamValue value)
{
    const int32 program = ProgramFromNormalized(value, GetProgramCount());
    if (program == GetSelectedProgram())
        return;
    SelectProgram(program);
    // Every parameter may have moved with the program.
    if (handler != nullptr)
        handler->restartComponent(kParamValuesChanged);
}

// ---- IUnitInfo -----------------------------------------------------------------------------------

int32 VST3_API Vst3Effect::getUnitCount()
{
    return 1;
}

tresult VST3_API Vst3Effect::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
    if (unitIndex != 0)
        return kInvalidArgument;
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    ToString128("Root", info.name);
    info.programListId = kProgramListId;
    return kResultOk;
}

int32 VST3_API Vst3Effect::getProgramListCount()
{
    return 1;
}

tresult VST3_API Vst3Effect::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
    if (listIndex != 0)
        return kInvalidArgument;
    info.id = kProgramListId;
    ToString128("Programs", info.name);
    info.programCount = GetProgramCount();
    return kResultOk;
}

tresult VST3_API Vst3Effect::getProgramName(ProgramListID listId, int32 programIndex, String128 name)
{
    if (listId != kProgramListId || programIndex < 0 || programIndex >= GetProgramCount() || name == nullptr)
        return kInvalidArgument;
    ToString128(GetProgramName(programIndex), name);
    return kResultOk;
}

tresult VST3_API Vst3Effect::getProgramInfo(ProgramListID, int32, const char8*, String128)
{
    return kResultFalse;
}

tresult VST3_API Vst3Effect::hasProgramPitchNames(ProgramListID, int32)
{
    return kResultFalse;
}

tresult VST3_API Vst3Effect::getProgramPitchName(ProgramListID, int32, int16, String128)
{
    return kResultFalse;
}

UnitID VST3_API Vst3Effect::getSelectedUnit()
{
    return kRootUnitId;
}

tresult VST3_API Vst3Effect::selectUnit(UnitID unitId)
{
    return unitId == kRootUnitId ? kResultOk : kInvalidArgument;
}

tresult VST3_API Vst3Effect::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID& unitId)
{
    unitId = kRootUnitId;
    return kResultOk;
}

tresult VST3_API Vst3Effect::setUnitProgramData(int32, int32, IBStream*)
{
    return kNotImplemented;
}

} // namespace MorlentVst3
