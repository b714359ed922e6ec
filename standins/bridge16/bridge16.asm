; BRIDGE16.DLL stand-in: the 16-bit half of the registry update bridge. Its one routine,
; REG16UPDATE (call index 0), goes through the kernel's flat thunk to BRIDGE32's target;
; the DLL's entry point connects its thunk table to BRIDGE32's.
;
;   DWORD FAR PASCAL Reg16Update(LPVOID first, LPVOID second, LPVOID third,
;                                short firstNumber, short secondNumber);

%include "ne.inc"

%define KERNEL 1
%define THUNKCONNECT16 651
%define C16THKSL01 631

    NE_BEGIN NE_LIBRARY | NE_SINGLEDATA, 2, 0, 0, 0, 0, 0, 0, 2, 1
    NE_SEGMENT code, 0x200, SEG_CODE | SEG_PRELOAD | SEG_RELOCS, code_end
    NE_SEGMENT data, 0x400, SEG_DATA | SEG_PRELOAD | SEG_RELOCS, data_end
    NE_RESIDENT_NAMES 'BRIDGE16'
    NE_NAME 'REG16UPDATE', 1
    NE_NAME 'DLLENTRYPOINT', 2
    NE_NAME 'ZORVOREG_THUNKDATA16', 3
    NE_IMPORTS 'KERNEL'
    NE_FIXED_ENTRIES 1, 2
    NE_ENTRY ENTRY_EXPORTED, Reg16Update
    NE_ENTRY ENTRY_EXPORTED, DllEntryPoint
    NE_FIXED_ENTRIES 2, 1
    NE_ENTRY ENTRY_EXPORTED | ENTRY_SHAREDDATA, ThunkData16
    NE_END_TABLES

    NE_SECTION code, 0x200
    bits 16

Reg16Update:
    xor cx, cx                  ; offset of the call in the 32-bit side's target table
    jmp short ThunkStub

; The common stub in the form the kernel expects: EAX its own address, EDX the thunk table,
; then a jump to C16ThkSL01, which writes the real stub over these bytes on the first call.
ThunkStub:
    db 0x66, 0xB8               ; mov eax, ThunkStub (16:16)
    dw ThunkStub
stub_cs:
    dw 0xFFFF
    db 0x66, 0xBA               ; mov edx, ThunkData16 (16:16)
    dw ThunkData16
stub_ds:
    dw 0xFFFF
jump_thunk:
    JMPFAR
    times 40 - ($ - ThunkStub) db 0xCC

; BOOL FAR PASCAL DllEntryPoint(DWORD reason, WORD instance, WORD ds, WORD heap,
;                               DWORD reserved1, WORD reserved2)
DllEntryPoint:
    push bp
    mov bp, sp
    push ds
    push ds                     ; ThunkConnect16(module16, module32, instance, reason,
    push module16               ;                thunk table, 32-bit table name, cs)
    push ds
    push module32
    push word [bp + 16]
    push word [bp + 20]
    push word [bp + 18]
    push ds
    push ThunkData16
    push ds
    push table32
    push cs
call_connect:
    CALLFAR
    pop ds
    pop bp
    retf 16
    NE_SEGMENT_END code

    NE_RELOCS code
    RELOC_SELECTOR stub_cs, 1
    RELOC_SELECTOR stub_ds, 2
    RELOC_IMPORT jump_thunk, KERNEL, C16THKSL01
    RELOC_IMPORT call_connect, KERNEL, THUNKCONNECT16
    NE_RELOCS_END code

    NE_SECTION data, 0x400

; The 16-bit side's thunk table; the kernel fills in the link to its own records.
ThunkData16:
    db 'SL01'
    dd 0x306                    ; checksum: BRIDGE32's table carries the same
    dd 0                        ; flags
    dd 0
    dd 0                        ; kernel's record (flat)
    dd 0                        ; kernel's record (16:16)
    dd 0
    db 'LB01'
    dd 0                        ; flags: BRIDGE32 is loaded on the first call
    dd 0
    dw ApiDatabase              ; one entry per call index
api_ds:
    dw 0xFFFF

; Per call: the caller's argument bytes, and the result when BRIDGE32 cannot be reached.
ApiDatabase:
    dd 16, 0xBAD16BAD

module16: db 'BRIDGE16.DLL', 0
module32: db 'BRIDGE32.DLL', 0
table32:  db 'ZorvoReg_ThunkData32', 0
    NE_SEGMENT_END data

    NE_RELOCS data
    RELOC_SELECTOR api_ds, 2
    NE_RELOCS_END data
