/* Upper-casing by the rules of code page 1252, as the system's CharUpperA applies them
 * there: for running the command-line rules natively, where there is no CharUpperA. */
#ifndef CODE_PAGE_1252_H
#define CODE_PAGE_1252_H

char UpperCase1252(char c);

/* in place, like CharUpperA; returns text */
char *UpperCaseText1252(char *text);

#endif
