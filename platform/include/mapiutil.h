// Stand-in for the SDK's <mapiutil.h> on systems other than Windows: the
// helpers that free MAPI row sets and address lists, with the Windows
// SDK's names and signatures.
#ifndef _MAPIUTIL_H_
#define _MAPIUTIL_H_

#include <mapix.h>

#ifdef __cplusplus
extern "C" {
#endif

// Frees each entry's property array, then the list itself.
STDAPI_(void) FreePadrlist(LPADRLIST lpAdrlist);
// Frees each row's property array, then the row set itself.
STDAPI_(void) FreeProws(LPSRowSet lpRows);

#ifdef __cplusplus
}
#endif

#endif
