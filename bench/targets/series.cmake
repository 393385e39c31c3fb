ostrelin_bench(series DEPENDS authoring_core)
