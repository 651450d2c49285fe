"""Which names a routine may not take: the keywords of C and C++, and the names the C library
reserves (its own functions, and any that begin with _ and a capital or with two _)."""

KEYWORDS = set("""
alignas alignof and and_eq asm auto bitand bitor bool break case catch char char8_t char16_t
char32_t class compl concept const consteval constexpr constinit const_cast continue co_await
co_return co_yield decltype default delete do double dynamic_cast else enum explicit export
extern false float for friend goto if inline int long mutable namespace new noexcept not not_eq
nullptr operator or or_eq private protected public register reinterpret_cast requires restrict
return short signed sizeof static static_assert static_cast struct switch template this
thread_local throw true try typedef typeid typename typeof typeof_unqual union unsigned using
virtual void volatile wchar_t while xor xor_eq
""".split())

LIBRARY = set("""
main abort abs atexit atof atoi atol bsearch calloc div exit free getenv labs ldiv malloc qsort
rand realloc srand strtod strtol strtoul system memchr memcmp memcpy memmove memset strcat strchr
strcmp strcoll strcpy strcspn strerror strlen strncat strncmp strncpy strpbrk strrchr strspn strstr
strtok strxfrm isalnum isalpha iscntrl isdigit isgraph islower isprint ispunct isspace isupper
isxdigit tolower toupper printf fprintf sprintf snprintf scanf fscanf sscanf puts fputs gets fgets
putchar getchar fopen fclose fread fwrite fflush remove rename tmpfile perror errno assert setjmp
longjmp signal raise time clock exp log pow sqrt sin cos tan floor ceil fabs
""".split())


# What Go and Rust keep for themselves, beside the names above (a routine's name is held to both).
OTHER_KEYWORDS = {"go": set("""
chan defer fallthrough func go import interface map package range select type var
""".split()), "rust": set("""
as async await box crate dyn fn impl in let loop match mod move mut priv pub ref self Self super
trait type unsafe unsized use where yield abstract become final macro override virtual
""".split())}


def reserved(name):
    """Why name cannot name a routine, or "" where it can."""
    if name in KEYWORDS:
        return "a keyword of C or C++"
    if name in LIBRARY:
        return "a name of the C library's"
    if name.startswith("__") or (name.startswith("_") and name[1:2].isupper()):
        return "reserved to the C library (_ and a capital, or two _)"
    return ""
