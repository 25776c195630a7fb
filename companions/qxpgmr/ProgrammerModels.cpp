#include "ProgrammerModels.h"

const ProgrammerModel& ProgrammerModels::At(int index) const
{
    static const ProgrammerModel none;
    return Contains(index) ? m_models.at(index) : none;
}
