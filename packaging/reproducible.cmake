# Makes two packagings of the same build byte-identical: CPack reads this before it makes each
# package, and both of its generators then stamp every file and the archives themselves with
# SOURCE_DATE_EPOCH, which defaults here to the changelog's date.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_DEMO_RELEASE_DATE}")
endif()
