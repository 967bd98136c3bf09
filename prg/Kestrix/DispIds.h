/* The member ids of the control's persisted properties, and of the member
 * the control calls directly (DoGetEvents), said once: the type library
 * (Kestrix32.idl), the control and its tests all take them from here. Plain
 * macros, so that the IDL compiler reads them too. */
#ifndef KESTRIX_DISPIDS_H
#define KESTRIX_DISPIDS_H

#define DISPID_KX_LINKNAME 0x68030000
#define DISPID_KX_TARGETHANDLE 0x68030001
#define DISPID_KX_DEBUGFILE 0x68030002
#define DISPID_KX_FILEDROPMODE 0x68030003
#define DISPID_KX_DEBUGMODE 0x68030004
#define DISPID_KX_TARGETEVENTS 0x68030005
#define DISPID_KX_TARGETCONTROLS 0x68030006
#define DISPID_KX_DOGETEVENTS 0x60030012
#define DISPID_KX_RETURNVALUE 0x68030007

#endif
