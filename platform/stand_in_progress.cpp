#include "stand_in_progress.h"

StandInProgress& Progress()
{
    static StandInProgress progress;
    return progress;
}
