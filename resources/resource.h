// Resource identifiers shared by the resource script and the code.
#ifndef SORRELWICK_RESOURCE_H
#define SORRELWICK_RESOURCE_H

#define IDI_APP 1
#define IDI_ON 2
#define IDI_OFF 3
#define IDA_MAIN 105

#endif
