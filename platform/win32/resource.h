// Resource ids shared by the resource script and the code. The running icon comes first, so
// Explorer shows it as the program's icon.
#pragma once

#define QM_IDI_RUNNING 1
#define QM_IDI_PAUSED 2
