; CALL16.EXE: a 16-bit program that calls BRIDGE16's REG16UPDATE four times with buffers of
; its own data segment (one pointer null in three of the calls) and the integers 0xFFFF,
; 0x8000, 0x7FFF and 0 in both positions, and writes what it saw to the file named on its
; command line (a 16-bit task's exit code never reaches its starter):
;     B L=<lock count of its data segment> S=<next free selector>
;     R=<DX:AX> A=<buffer A> B=<buffer B> C=<buffer C>     one line per call, buffers in hex
;     A L=... S=...                                        the same measures after the calls
;     E

%include "ne.inc"

%define KERNEL 1
%define BRIDGE16 2
%define INITTASK 91
%define DOS3CALL 102
%define LCLOSE 81
%define LCREAT 83
%define LWRITE 86
%define GLOBALHANDLE 21
%define GLOBALFLAGS 22
%define ALLOCSELECTOR 175
%define FREESELECTOR 176
%define REG16UPDATE 1

%define BUFFER_BYTES 16

    NE_BEGIN NE_WINAPI | NE_MULTIPLEDATA, 2, 0x400, 0x2000, 1, start, 2, 0, 2, 2
    NE_SEGMENT code, 0x200, SEG_CODE | SEG_PRELOAD | SEG_RELOCS, code_end
    NE_SEGMENT data, 0x600, SEG_DATA | SEG_PRELOAD, data_end
    NE_RESIDENT_NAMES 'CALL16'
    NE_IMPORTS 'KERNEL', 'BRIDGE16'
    NE_END_TABLES

    NE_SECTION code, 0x200
    bits 16

start:
..@inittask:
    CALLFAR
    or ax, ax
    jnz .running
    jmp quit
.running:
    ; the report's name: the command line up to the first blank
    mov si, bx
    mov di, report_name
.skip:
    mov al, [es:si]
    cmp al, ' '
    jne .copy
    inc si
    jmp .skip
.copy:
    mov al, [es:si]
    cmp al, ' '
    jbe .named
    mov [di], al
    inc si
    inc di
    cmp di, report_name + 127
    jb .copy
.named:
    mov byte [di], 0
    push ds
    push report_name
    push word 0
..@lcreat:
    CALLFAR
    mov [report], ax
    cmp ax, -1
    jne .opened
    jmp quit
.opened:
    mov byte [line], 'B'
    call measures

    mov si, calls
.next_call:
    cmp si, calls_end
    jae .done
    push si
    mov bx, 0
.push_pointer:                  ; first, second, third: null when the table says 0
    mov ax, [si + bx]
    or ax, ax
    jz .null
    push ds
    push ax
    jmp .pushed
.null:
    push word 0
    push word 0
.pushed:
    add bx, 2
    cmp bx, 6
    jb .push_pointer
    push word [si + 6]
    push word [si + 8]
..@reg16update:
    CALLFAR
    pop si
    mov di, line
    mov word [di], 'R='
    add di, 2
    xchg ax, dx
    call hex_word
    xchg ax, dx
    call hex_word
    mov bx, buffer_a
    mov cl, 'A'
.dump:
    mov byte [di], ' '
    mov [di + 1], cl
    mov byte [di + 2], '='
    add di, 3
    push si
    mov si, bx
    mov dx, BUFFER_BYTES
.dump_byte:
    lodsb
    call hex_byte
    dec dx
    jnz .dump_byte
    pop si
    add bx, BUFFER_BYTES
    inc cl
    cmp cl, 'C'
    jbe .dump
    call write_line
    add si, 10
    jmp .next_call
.done:
    mov byte [line], 'A'
    call measures
    mov di, line
    mov byte [di], 'E'
    inc di
    call write_line
    push word [report]
..@lclose:
    CALLFAR
quit:
    mov ax, 0x4C00
..@dos3call:
    CALLFAR

; "X L=llll S=ssss": the lock count of the data segment and the selector the kernel hands
; out next, so that a mapping left behind by a call shows as a difference.
measures:
    mov di, line + 1
    mov word [di], ' L'
    mov byte [di + 2], '='
    add di, 3
    push ds
..@globalhandle:
    CALLFAR
    push ax
..@globalflags:
    CALLFAR
    xor ah, ah
    call hex_word
    mov word [di], ' S'
    mov byte [di + 2], '='
    add di, 3
    push word 0
..@allocselector:
    CALLFAR
    call hex_word
    push ax
..@freeselector:
    CALLFAR
    call write_line
    ret

; writes line .. di with CR LF to the report
write_line:
    mov word [di], 0x0A0D
    add di, 2
    push word [report]
    push ds
    push line
    sub di, line
    push di
..@lwrite:
    CALLFAR
    ret

hex_word:
    push ax
    mov al, ah
    call hex_byte
    pop ax
    push ax
    call hex_byte
    pop ax
    ret

hex_byte:
    push ax
    shr al, 4
    call hex_digit
    pop ax
    push ax
    call hex_digit
    pop ax
    ret

hex_digit:
    and al, 0x0F
    add al, '0'
    cmp al, '9'
    jbe .store
    add al, 'A' - '9' - 1
.store:
    mov [di], al
    inc di
    ret
    NE_SEGMENT_END code

    NE_RELOCS code
    RELOC_IMPORT ..@inittask, KERNEL, INITTASK
    RELOC_IMPORT ..@lcreat, KERNEL, LCREAT
    RELOC_IMPORT ..@reg16update, BRIDGE16, REG16UPDATE
    RELOC_IMPORT ..@lclose, KERNEL, LCLOSE
    RELOC_IMPORT ..@dos3call, KERNEL, DOS3CALL
    RELOC_IMPORT ..@globalhandle, KERNEL, GLOBALHANDLE
    RELOC_IMPORT ..@globalflags, KERNEL, GLOBALFLAGS
    RELOC_IMPORT ..@allocselector, KERNEL, ALLOCSELECTOR
    RELOC_IMPORT ..@freeselector, KERNEL, FREESELECTOR
    RELOC_IMPORT ..@lwrite, KERNEL, LWRITE
    NE_RELOCS_END code

    NE_SECTION data, 0x600

    dw 0, 0, 0, 0               ; the kernel's words at the start of an automatic data segment
    dw 0, 0, 0, 0
; first, second, third (offsets in this segment, 0 for null), firstNumber, secondNumber
calls:
    dw buffer_a, 0, buffer_c, 0xFFFF, 0x8000
    dw buffer_a, buffer_b, 0, 0x7FFF, 0
    dw 0, buffer_b, buffer_c, 0x8000, 0xFFFF
    dw buffer_a, buffer_b, buffer_c, 0, 0x7FFF
calls_end:
buffer_a: db 'first buffer, A.'
buffer_b: db 'second buffer, B'
buffer_c: db 'third buffer, C.'
report: dw 0
report_name: times 128 db 0
line: times 160 db 0
    NE_SEGMENT_END data
