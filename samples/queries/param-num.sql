-- description: Customers by credit limit, with a choice of comparison (NUM)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, name, credit_limit
FROM customers
WHERE ?NUM_{credit_limit}|{>=,<=,=}?
ORDER BY credit_limit
