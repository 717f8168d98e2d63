/* The word list, built into the program as raw bytes followed by a zero. */
    .section .rodata
    .global tessarin_wordlist_begin
    .global tessarin_wordlist_end
    .balign 16
tessarin_wordlist_begin:
    .incbin WORDLIST_FILE
tessarin_wordlist_end:
    .byte 0
    .section .note.GNU-stack,"",@progbits
