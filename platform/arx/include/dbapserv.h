// Stand-in for dbapserv.h: the host's application services, which know the
// working database (the current drawing's) and the layout manager. They
// answer from the installed DrawingHost (drawing_host.h).
#pragma once
#include "acdblmgr.h"

class AcDbDatabase;
class AcDbLayoutManager;

class AcDbHostApplicationServices {
public:
    // Null when no drawing host is installed or it has no working database.
    AcDbDatabase* workingDatabase() const;
    AcDbLayoutManager* layoutManager() const;
};

AcDbHostApplicationServices* acdbHostApplicationServices();
